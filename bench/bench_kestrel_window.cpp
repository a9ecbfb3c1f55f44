// Kestrel: the dump of 1.BENCH.BIG.DB (1 MB) of kestrel-big.imd in the display pane.
#include "ImageDiskSummary.h"
#include "KestrelSession.h"
#include "WindowBench.h"
#include "window/formKestrel.h"

class KestrelWindowBench : public QObject {
    Q_OBJECT
  private slots:
    void dumpOfOneMegabyte() {
        bench::AnswerOk prompts;
        MemorySettings settings;
        formKestrel window(
            std::make_shared<ImageOpener>(KestrelImageOpener()),
            [](SectorSource& disk, DisplaySink& sink) { ImageDiskSummary(sink, disk); }, &prompts,
            &settings);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.OpenImage(QString::fromStdString(bench::Input("kestrel-big.imd")));
        QVERIFY(bench::ClickRow(window.findChild<QListWidget*>("listPDB"), "BIG"));
        auto* dump = window.findChild<QRadioButton*>("optDisplay_2");
        bench::Measure("Kestrel", window.findChild<QPlainTextEdit*>("rtfDisplay"),
                       [&] { dump->click(); });
    }
};

QTEST_MAIN(KestrelWindowBench)
#include "bench_kestrel_window.moc"
