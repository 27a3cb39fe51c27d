#ifndef QSUPERSQLRELATIONALTABLEMODEL_H
#define QSUPERSQLRELATIONALTABLEMODEL_H

#include <QSqlDatabase>
#include <QSqlRelationalTableModel>

class QAbstractItemView;

// The relational twin of QSuperSqlTableModel: the same one-row writes, through the relational row
// writers, which bind the key of a relation column instead of the text it shows.
class QSuperSqlRelationalTableModel : public QSqlRelationalTableModel
{
    Q_OBJECT

public:
    explicit QSuperSqlRelationalTableModel(QObject *parent = nullptr, QSqlDatabase db = QSqlDatabase());
    ~QSuperSqlRelationalTableModel() override;

    virtual bool submitRow(int row, bool refresh, bool remove);
    virtual bool submitRowInView(int row, bool refresh, bool remove, QAbstractItemView *view);
    virtual bool writeRow(int row, bool remove);

    bool isWriting() const { return m_writing; }

private:
    bool m_writing = false;
};

#endif // QSUPERSQLRELATIONALTABLEMODEL_H
