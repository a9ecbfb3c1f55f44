// Tamarin: the dump of /big (1 MB) of tamarin-big.imd in the display pane.
#include "ImageDiskSummary.h"
#include "TamarinSession.h"
#include "WindowBench.h"
#include "window/formTamarin.h"

class TamarinWindowBench : public QObject {
    Q_OBJECT
  private slots:
    void dumpOfOneMegabyte() {
        bench::AnswerOk prompts;
        MemorySettings settings;
        formTamarin window(
            std::make_shared<ImageOpener>(TamarinImageOpener()),
            [](SectorSource& disk, DisplaySink& sink) { ImageDiskSummary(sink, disk); }, &prompts,
            &settings);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.OpenImage(QString::fromStdString(bench::Input("tamarin-big.imd")));
        QVERIFY(bench::ClickRow(window.findChild<QListWidget*>("listDIR"), "big"));
        auto* dump = window.findChild<QRadioButton*>("optDisplay_2");
        bench::Measure("Tamarin", window.findChild<QPlainTextEdit*>("rtfDisplay"),
                       [&] { dump->click(); });
    }
};

QTEST_MAIN(TamarinWindowBench)
#include "bench_tamarin_window.moc"
