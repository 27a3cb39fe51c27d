import QtQuick 2.4

ListModel {
    ListElement { source: ""; text: "Late Rent/Charges Letter"; name: "letterLate" }
    ListElement { source: ""; text: "Lease Agreement"; name: "letterLease" }
    ListElement { source: ""; text: "Custom Letters"; name: "letterCustom" }
}
