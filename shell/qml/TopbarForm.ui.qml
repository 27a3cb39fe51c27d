import QtQuick 2.4

Item {
    id: topBar
    width: 3000
    height: 80

    // The window sets both texts after the scene has loaded; until then they are empty.
    property string thedate: typeof xdate === "undefined" ? "" : xdate
    property string theuser: typeof xuser === "undefined" ? "" : xuser

    Rectangle {
        anchors.fill: parent
        gradient: Gradient {
            GradientStop { position: 0; color: "#96d2e4" }
            GradientStop { position: 0.615; color: "#4aafcf" }
            GradientStop { position: 1; color: "#046988" }
        }

        Text {
            objectName: "dateText"
            anchors.left: parent.left
            anchors.leftMargin: 40
            anchors.verticalCenter: parent.verticalCenter
            font.pixelSize: 20
            text: topBar.thedate
        }

        Text {
            objectName: "userText"
            anchors.right: parent.right
            anchors.rightMargin: 100
            anchors.verticalCenter: parent.verticalCenter
            font.pixelSize: 20
            text: topBar.theuser
        }
    }
}
