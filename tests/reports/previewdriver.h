#ifndef PREVIEWDRIVER_H
#define PREVIEWDRIVER_H

// The report preview worked as the user works it: its tool buttons clicked, the file and print
// dialogs they open answered through their own widgets. Each function queues the steps on a modal
// driver (testhub.h) before the command that opens the preview.

#include "testhub.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QTest>
#include <QToolBar>

// Clicks the preview's tool button whose action has that object name (the export buttons) or that
// text (the preview's own buttons). False when there is no such button or it is disabled.
inline bool clickPreviewButton(QDialog *preview, const QString &name)
{
    for (QToolBar *bar : preview->findChildren<QToolBar *>()) {
        for (QAction *action : bar->actions()) {
            if (action->objectName() != name && action->text() != name)
                continue;
            QWidget *button = bar->widgetForAction(action);
            if (!button || !button->isEnabled())
                return false;
            QTest::mouseClick(button, Qt::LeftButton);
            return true;
        }
    }
    return false;
}

// The file dialog a save opens: the full path typed as the file's name.
inline std::function<void(QDialog *)> typeFileName(const QString &path)
{
    return [path](QDialog *dialog) {
        QVERIFY(qobject_cast<QFileDialog *>(dialog));
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(path);
    };
}

// The preview's report saved as PDF to `pdf`, then the preview closed.
inline void saveAsPdfFromPreview(ModalDriver &driver, const QString &pdf)
{
    driver.ok([](QDialog *preview) {
        QVERIFY(qobject_cast<QPrintPreviewDialog *>(preview));
        QVERIFY(clickPreviewButton(preview, QStringLiteral("actExpToPdf")));
    });
    driver.ok(typeFileName(pdf));
}

// Everything the preview offers, in one sitting: Save as PDF, Save as HTML, a turn to landscape and
// a print to a PDF file, which closes the preview.
inline void workThroughPreview(ModalDriver &driver, const QString &pdf, const QString &html, const QString &printed)
{
    driver.ok([](QDialog *preview) {
        QVERIFY(qobject_cast<QPrintPreviewDialog *>(preview));
        QVERIFY(clickPreviewButton(preview, QStringLiteral("actExpToPdf")));
        QVERIFY(clickPreviewButton(preview, QStringLiteral("actExpToHtml")));
        QVERIFY(clickPreviewButton(preview, QStringLiteral("Landscape")));
        QVERIFY(clickPreviewButton(preview, QStringLiteral("Print")));
    });
    driver.ok(typeFileName(pdf));
    driver.ok(typeFileName(html));
    driver.ok([printed](QDialog *dialog) {
        auto *printers = dialog->findChild<QComboBox *>(QStringLiteral("printers"));
        QVERIFY(printers);
        const int toFile = printers->findText(QStringLiteral("Print to File (PDF)"));
        QVERIFY(toFile >= 0);
        printers->setCurrentIndex(toFile);
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("filename"));
        QVERIFY(name);
        name->setText(printed);
    });
}

#endif // PREVIEWDRIVER_H
