import QtQuick 2.12

Item {
    id: olItem
    property bool textonly: false
    property string src: ""
    property string strText: ""
    property string btnName: ""
    property int xheight: 80
    property int xwidth: 80
    signal btnClicked(var j)

    width: parent ? parent.width : xwidth
    // A caption that wraps onto more lines than the row was meant for makes its row taller
    // instead of running into the next one.
    height: Math.max(xheight, itemColumn.height + 10)

    Item {
        width: parent.width
        height: olItem.height - 10

        Column {
            id: itemColumn
            width: olItem.xwidth
            anchors.centerIn: parent
            spacing: 6

            Image {
                id: itemImage
                visible: !olItem.textonly
                width: parent.width
                height: Math.max(0, olItem.xheight - 50)
                source: olItem.src
                fillMode: Image.PreserveAspectFit
                smooth: true
            }

            Text {
                id: itemText
                width: parent.width
                text: olItem.strText
                font.pixelSize: 17
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.WordWrap
            }
        }

        MouseArea {
            anchors.fill: itemColumn
            onEntered: { itemImage.scale = 1.3; itemText.scale = 1.3 }
            onExited: { itemImage.scale = 1; itemText.scale = 1 }
            onClicked: xEngine.outAction(olItem.btnName)
        }
    }
}
