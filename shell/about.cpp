#include "about.h"
#include "ui_about.h"

#include "shell/webpages.h"

#include <QDesktopServices>

about::about(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::about)
{
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("About Morvessa Velloran 2021"));
    ui->pushButton->setText(tr("Visit %1").arg(WebPages::blog().host()));
    ui->label_2->setText(tr("<p><b>Morvessa Velloran 2021</b></p>"
                            "<p>Property management for the rental office: owners, buildings, "
                            "apartments, tenants, rent and upkeep.</p>"
                            "<p>Copyright &copy; Morvessa. All rights reserved. This program is "
                            "protected by copyright law; copying or distributing it, or any part of "
                            "it, without the maker's written permission is not allowed.</p>"));
}

about::~about()
{
    delete ui;
}

void about::on_pushButton_clicked()
{
    QDesktopServices::openUrl(WebPages::blog());
}
