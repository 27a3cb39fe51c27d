import QtQuick 2.4

ListModel {
    ListElement { source: "qrc:/images/cashbook.png"; text: "Cashbook"; name: "accCashbook" }
    ListElement { source: "qrc:/images/collectrent.png"; text: "Collect Rent"; name: "accCollectRent" }
    ListElement { source: "qrc:/images/recordexpense.png"; text: "Record Expense"; name: "accRecordExpense" }
    ListElement { source: "qrc:/images/recordincome.png"; text: "Record Income"; name: "accRecordIncome" }
    ListElement { source: "qrc:/images/paymenthistory.png"; text: "Payment History"; name: "accPaymentHistory" }
}
