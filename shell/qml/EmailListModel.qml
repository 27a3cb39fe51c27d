import QtQuick 2.4

ListModel {
    ListElement { source: ""; text: "Configure Late Rent Reminder Email"; name: "emailConfigureLate" }
    ListElement { source: ""; text: "Send Late Rent Emails"; name: "emailSendLate" }
    ListElement { source: ""; text: "Configure Expiring Leases Email"; name: "emailConfigureExpiring" }
    ListElement { source: ""; text: "Send Expiring Leases Emails"; name: "emailSendExpiring" }
    ListElement { source: ""; text: "Configure Custom Emails"; name: "emailConfigureCustom" }
    ListElement { source: ""; text: "Send Custom Emails"; name: "emailSendCustom" }
}
