// Osprey: the dump of /ONEMB.BIN (1 MB) of fat16.img in the display pane.
#include "WindowBench.h"
#include "window/formOsprey.h"

class OspreyWindowBench : public QObject {
    Q_OBJECT
  private slots:
    void dumpOfOneMegabyte() {
        bench::AnswerOk prompts;
        MemorySettings settings;
        formOsprey window(&prompts, &settings);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.OpenImage(QString::fromStdString(bench::Input("fat16.img")));
        QVERIFY(bench::ClickRow(window.findChild<QListWidget*>("listDirectory"), "ONEMB"));
        auto* dump = window.findChild<QRadioButton*>("optDisplay_2");
        bench::Measure("Osprey", window.findChild<QPlainTextEdit*>("rtfDisplay"),
                       [&] { dump->click(); });
    }
};

QTEST_MAIN(OspreyWindowBench)
#include "bench_osprey_window.moc"
