import QtQuick 2.4

// The header of one side-bar section; a click opens its list.
Rectangle {
    id: sectionBar
    property string caption: ""
    signal opened()

    objectName: caption
    width: parent.width
    height: 30
    z: 2
    gradient: Gradient {
        GradientStop { position: 0; color: "#96d2e4" }
        GradientStop { position: 1; color: "#4aafcf" }
    }

    Text {
        anchors.centerIn: parent
        color: "#f7f7f7"
        font.pixelSize: 20
        text: sectionBar.caption
    }

    MouseArea {
        anchors.fill: parent
        onClicked: sectionBar.opened()
    }
}
