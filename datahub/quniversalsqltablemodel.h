#ifndef QUNIVERSALSQLTABLEMODEL_H
#define QUNIVERSALSQLTABLEMODEL_H

#include "datahub/qsupersqltablemodel.h"

#include <QMap>

// A table model that shows stored codes of chosen columns as words (a priority as "HIGH", a category
// type as "INCOME"); the user role still gives the stored code.
class QUniversalSqlTableModel : public QSuperSqlTableModel
{
    Q_OBJECT

public:
    typedef QString (*Converter)(const QVariant &code);

    explicit QUniversalSqlTableModel(QObject *parent = nullptr, QSqlDatabase db = QSqlDatabase());
    ~QUniversalSqlTableModel() override;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // Column -> converter; the data hub fills the map once after it creates the model.
    QMap<int, Converter> &converters() { return m_converters; }

private:
    QMap<int, Converter> m_converters;
    bool m_keepingStoredRow = false;
};

#endif // QUNIVERSALSQLTABLEMODEL_H
