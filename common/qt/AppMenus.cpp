#include "AppMenus.h"

#include "Prompts.h"
#include "RecentImages.h"
#include "SettingsStore.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTextBrowser>
#include <QVBoxLayout>

QMenu* AddRecentImagesMenu(QMenu* fileMenu, QAction* before, SettingsStore& settings,
                           Prompts& prompts, std::function<void(const QString&)> open) {
    auto* menu = new QMenu("Recent images", fileMenu);
    menu->setObjectName("mnuRecentImages");
    fileMenu->insertMenu(before, menu);
    // The list is read from the settings each time the menu opens.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, &settings, &prompts, open] {
        menu->clear();
        const std::vector<std::string> paths = RecentImages(settings).List();
        if (paths.empty()) menu->addAction("(none)")->setEnabled(false);
        int number = 1;
        for (const std::string& path : paths) {
            const QString text = QString("&%1 %2").arg(number++).arg(QString::fromStdString(path));
            QAction* action = menu->addAction(text);
            QObject::connect(action, &QAction::triggered, menu, [path, &settings, &prompts, open] {
                if (!QFileInfo::exists(QString::fromStdString(path))) {
                    prompts.MessageBox("Recent images", "The image " + path +
                                                            " no longer exists; it is removed "
                                                            "from the list.");
                    RecentImages(settings).Remove(path);
                    return;
                }
                open(QString::fromStdString(path));
            });
        }
    });
    return menu;
}

void RememberImage(SettingsStore& settings, const QString& path) {
    RecentImages(settings).Add(QFileInfo(path).absoluteFilePath().toStdString());
}

QMenu* AddHelpMenu(QMainWindow* window, const QString& program, const QString& summary,
                   const QString& helpHtml) {
    QMenu* help = window->menuBar()->addMenu("&Help");
    help->setObjectName("mnuHelp");
    QAction* page = help->addAction(program + " Help");
    page->setObjectName("mnuHelpPage");
    page->setShortcut(QKeySequence::HelpContents);
    QObject::connect(page, &QAction::triggered, window, [window, program, helpHtml] {
        QDialog dialog(window);
        dialog.setObjectName("dialogHelp");
        dialog.setWindowTitle(program + " Help");
        auto* text = new QTextBrowser(&dialog);
        text->setHtml(helpHtml);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(text);
        layout->addWidget(buttons);
        dialog.resize(620, 520);
        dialog.exec();
    });
    QAction* about = help->addAction("About");
    about->setObjectName("mnuAbout");
    QObject::connect(about, &QAction::triggered, window, [window, program, summary] {
        QMessageBox::about(window, "About " + program,
                           "<b>" + program + " " + SUITE_VERSION + "</b><p>" + summary +
                               "</p><p>Part of the vintage disk image explorers: Kestrel, "
                               "Quarry, Tamarin and Osprey.</p><p>Released under the MIT "
                               "licence.</p>");
    });
    return help;
}
