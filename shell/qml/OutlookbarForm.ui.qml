import QtQuick 2.4
import QtQuick.Controls 2.12

Item {
    id: outlookBar
    width: 400
    height: 400

    property int barHeight: 30

    function openSection(list) {
        var lists = [mainList, accList, sysList, emailList, otherList, lettersList]
        for (var i = 0; i < lists.length; ++i)
            lists[i].visible = (lists[i] === list)
    }

    Rectangle {
        id: background
        anchors.fill: parent
        color: "#ffffff"

        Column {
            id: outList
            anchors.fill: parent

            SectionBar { id: mainBar; caption: qsTr("Main"); onOpened: outlookBar.openSection(mainList) }
            ListView {
                id: mainList
                objectName: "mainList"
                width: parent.width
                height: outList.height - 1 - 6 * outlookBar.barHeight
                clip: true
                model: MainListModel {}
                delegate: OLItem { src: source; btnName: name; strText: text; xwidth: mainList.width / 2; xheight: 150; textonly: false }
            }

            SectionBar { id: accBar; caption: qsTr("Accounting"); onOpened: outlookBar.openSection(accList) }
            ListView {
                id: accList
                objectName: "accList"
                visible: false
                width: parent.width
                height: outList.height - 1 - 6 * outlookBar.barHeight
                clip: true
                model: AccListModel {}
                delegate: OLItem { src: source; btnName: name; strText: text; xwidth: accList.width / 2; xheight: 150; textonly: false }
            }

            SectionBar { id: sysBar; caption: qsTr("System Parameters"); onOpened: outlookBar.openSection(sysList) }
            ListView {
                id: sysList
                objectName: "sysList"
                visible: false
                width: parent.width
                height: outList.height - 1 - 6 * outlookBar.barHeight
                clip: true
                model: SysListModel {}
                delegate: OLItem { src: source; btnName: name; strText: text; xwidth: sysList.width / 2; xheight: 50; textonly: false }
            }

            SectionBar { id: emailBar; caption: qsTr("Email"); onOpened: outlookBar.openSection(emailList) }
            ListView {
                id: emailList
                objectName: "emailList"
                visible: false
                width: parent.width
                height: outList.height - 1 - 6 * outlookBar.barHeight
                clip: true
                model: EmailListModel {}
                delegate: OLItem { src: source; btnName: name; strText: text; xwidth: emailList.width / 2; xheight: 50; textonly: false }
            }

            SectionBar { id: toolsBar; caption: qsTr("Other Tools"); onOpened: outlookBar.openSection(otherList) }
            ListView {
                id: otherList
                objectName: "otherList"
                visible: false
                width: parent.width
                height: outList.height - 1 - 6 * outlookBar.barHeight
                clip: true
                model: OtherListModel {}
                delegate: OLItem { src: source; btnName: name; strText: text; xwidth: otherList.width / 2; xheight: 50; textonly: false }
            }

            SectionBar { id: lettersBar; caption: qsTr("Letters"); onOpened: outlookBar.openSection(lettersList) }
            ListView {
                id: lettersList
                objectName: "lettersList"
                visible: false
                width: parent.width
                height: outList.height - 1 - 6 * outlookBar.barHeight
                clip: true
                model: LetterListModel {}
                delegate: OLItem { src: source; btnName: name; strText: text; xwidth: lettersList.width / 2; xheight: 50; textonly: false }
            }
        }
    }
}
