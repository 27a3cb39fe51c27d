import QtQuick 2.4

ListModel {
    ListElement { source: ""; text: "Users"; name: "sysUsers" }
    ListElement { source: ""; text: "Cashbook Categories"; name: "sysCategories" }
    ListElement { source: ""; text: "Rent Frequency"; name: "sysRentFreq" }
    ListElement { source: ""; text: "Lease Terms"; name: "sysLeaseTerms" }
    ListElement { source: ""; text: "Credit Cards"; name: "sysCreditCards" }
}
