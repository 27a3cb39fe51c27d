#ifndef RPTNAME_H
#define RPTNAME_H

// The kinds of bands, fields and highlighting results as templates and the run know them.
// The numbers are stored in templates and compared by the run: never renumber them.
namespace RptName {

enum BandType {
    PageHeader = 1,
    ReportTitle = 2,
    MasterHeader = 3,
    DataGroupHeader = 4,
    MasterData = 5,
    DataGroupFooter = 6,
    MasterFooter = 7,
    ReportSummary = 8,
    PageFooter = 9
};

enum FieldType {
    label = 0,
    labelImage = 1,
    textRich = 2,
    image = 3,
    diagram = 4,
    reactangle = 5,
    roundedReactangle = 6,
    circle = 7,
    triangle = 8,
    rhombus = 9,
    line = 10,
    barcode = 11,
    DatabaseImage = 12,
    crossTab = 13
};

enum HiType {
    bold = 0,
    italic = 1,
    underline = 2,
    strikeout = 3,
    fontColor = 4,
    backgroundColor = 5
};

} // namespace RptName

#endif // RPTNAME_H
