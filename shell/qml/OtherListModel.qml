import QtQuick 2.4

ListModel {
    ListElement { source: ""; text: "Reminders"; name: "otherReminders" }
    ListElement { source: ""; text: "Adjust Rental Rate"; name: "otherAdjust" }
}
