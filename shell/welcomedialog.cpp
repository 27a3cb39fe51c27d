#include "welcomedialog.h"
#include "ui_welcomedialog.h"

#include "shell/webpages.h"

#include <QDesktopServices>
#include <QSettings>

namespace {
const char *const kShowWelcome = "ShowWelcome";

QSettings *openStore()
{
    return new QSettings(QStringLiteral("Morvessa"), QStringLiteral("Velloran 2021"));
}
}

WelcomeDialog::WelcomeDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::WelcomeDialog)
{
    ui->setupUi(this);
    setWindowTitle(tr("Welcome to Morvessa Velloran 2021"));
}

WelcomeDialog::~WelcomeDialog()
{
    delete ui;
}

bool WelcomeDialog::showAtStart()
{
    QScopedPointer<QSettings> store(openStore());
    return store->value(QLatin1String(kShowWelcome), true).toBool();
}

// The links open the pages of their kind whatever the label's rich text says, so a translated
// label cannot send the user somewhere else.
void WelcomeDialog::on_label_4_linkActivated(const QString &)
{
    QDesktopServices::openUrl(WebPages::makerHome());
}

void WelcomeDialog::on_label_5_linkActivated(const QString &)
{
    QDesktopServices::openUrl(WebPages::productHome());
}

void WelcomeDialog::on_label_6_linkActivated(const QString &)
{
    QDesktopServices::openUrl(WebPages::blog());
}

void WelcomeDialog::on_label_7_linkActivated(const QString &)
{
    QDesktopServices::openUrl(WebPages::forum());
}

void WelcomeDialog::on_label_8_linkActivated(const QString &)
{
    QDesktopServices::openUrl(WebPages::videoChannel());
}

void WelcomeDialog::on_WelcomeDialog_accepted()
{
    if (!ui->checkBox->isChecked())
        return;
    QScopedPointer<QSettings> store(openStore());
    store->setValue(QLatin1String(kShowWelcome), false);
}
