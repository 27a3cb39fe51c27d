import QtQuick 2.4

ListModel {
    ListElement { source: "qrc:/images/owners.png"; text: "Owners"; name: "mainOwners" }
    ListElement { source: "qrc:/images/tenants.png"; text: "Tenants"; name: "mainTenants" }
    ListElement { source: "qrc:/images/building.png"; text: "Buildings"; name: "mainBuildings" }
    ListElement { source: "qrc:/images/apartments.png"; text: "Apartments/Units"; name: "mainApartments" }
    ListElement { source: "qrc:/images/equipment.png"; text: "Equipment"; name: "mainEquipment" }
    ListElement { source: "qrc:/images/todolist.png"; text: "To Do List"; name: "mainTodolist" }
    ListElement { source: "qrc:/images/vendors.png"; text: "Vendors"; name: "mainVendors" }
    ListElement { source: "qrc:/images/help.png"; text: "Help"; name: "mainHelp" }
}
