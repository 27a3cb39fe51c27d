#ifndef CHOOSEGENERICDIALOG_H
#define CHOOSEGENERICDIALOG_H

#include "reports/chooselistdialog.h"

// Asks for one or more entries of a list the caller gives; the caller decides what each row means.
// Read the result only after exec() returned Accepted.
class ChooseGenericDialog : public ChooseListDialog
{
    Q_OBJECT

public:
    explicit ChooseGenericDialog(QWidget *parent = nullptr);

    void setItems(const QStringList &items);
    // The chosen row numbers, in the order the list's selection reports them.
    QVector<int> chosenItems() const { return m_chosenRows; }

public slots:
    void accept() override;

private:
    QVector<int> m_chosenRows;
};

#endif // CHOOSEGENERICDIALOG_H
