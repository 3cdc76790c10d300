// The window as tabled in the design of Fennick: one control a line, as
//   name container left top width height tabIndex
// in twips, relative to the container; tab index 0 takes no focus. Kept apart
// from ui/layouttables.h on purpose, so that a slip in either shows.
#pragma once

#include <QHash>
#include <QList>
#include <QRect>
#include <QStringList>

namespace tabled {

inline constexpr char layout[] = R"(
Frame1 SSTab1 120 660 5535 1695 0
Frame2 SSTab1 120 2340 5535 2055 0
Frame3 SSTab1 120 4380 5535 1695 0
Frame4 SSTab1 120 6060 5535 1815 0
Frame6 SSTab1 120 660 5535 5415 0
Frame7 SSTab1 120 6060 5535 3495 0
Frame8 SSTab1 120 600 5535 6975 0
Frame9 SSTab1 120 720 5535 3735 0
Frame10 SSTab1 120 4440 5535 1695 0
Frame11 SSTab1 120 720 5415 2895 0
Label1 Frame1 120 240 975 255 0
Text1 Frame1 1560 240 1095 285 27
Label2 Frame1 120 600 855 255 0
Text2 Frame1 1560 600 1095 285 26
Label3 Frame1 120 960 975 255 0
Text3 Frame1 1560 960 3855 285 25
Label4 Frame1 120 1320 375 255 0
Combo1 Frame1 1560 1320 1215 315 24
Label18 Frame1 2880 1320 1095 255 0
Command2 Frame1 4200 1320 1215 255 28
Label7 Frame2 120 240 1215 255 0
Combo2 Frame2 1560 240 1215 315 35
Label5 Frame2 120 600 735 255 0
Text4 Frame2 1560 600 3855 285 36
Label6 Frame2 120 960 1215 375 0
Text5 Frame2 1560 960 3855 285 37
Label8 Frame2 120 1320 855 255 0
Text6 Frame2 1560 1320 1095 285 38
Label9 Frame2 120 1680 1335 255 0
Text7 Frame2 1560 1680 1095 285 39
Command3 Frame2 4200 1680 1215 255 40
Label10 Frame3 120 240 855 255 0
Combo3 Frame3 1560 240 1215 315 18
Label11 Frame3 120 600 1095 255 0
Text8 Frame3 1560 600 3855 285 17
Label12 Frame3 120 960 1095 255 0
Text9 Frame3 1560 960 3855 285 16
Label13 Frame3 120 1320 375 255 0
Text10 Frame3 1560 1320 1215 285 15
Command4 Frame3 4200 1320 1215 255 14
Label14 Frame4 120 240 1215 255 0
Text11 Frame4 1560 240 1215 285 8
Label15 Frame4 120 600 975 255 0
Text12 Frame4 1560 600 495 285 7
Label16 Frame4 120 960 1095 255 0
Text13 Frame4 1560 960 495 285 6
Label17 Frame4 120 1320 855 255 0
Text14 Frame4 1560 1320 495 285 5
Command5 Frame4 4200 1440 1215 255 4
Label19 Frame6 120 240 1215 255 0
Text15 Frame6 1440 240 1695 285 51
Label20 Frame6 120 720 615 255 0
Text16 Frame6 1440 720 1695 285 52
Label21 Frame6 120 1080 615 255 0
Text17 Frame6 1440 1080 1695 285 53
Label22 Frame6 120 1440 615 255 0
Text18 Frame6 1440 1440 1695 285 54
Label23 Frame6 120 1920 1335 255 0
Text19 Frame6 1440 1920 1695 285 56
Label24 Frame6 120 2280 1215 255 0
Text20 Frame6 1440 2280 1695 285 60
Label25 Frame6 120 2640 1215 255 0
Text21 Frame6 1440 2640 1695 285 59
Label26 Frame6 120 3120 1215 255 0
Text22 Frame6 1440 3120 1695 285 64
Label27 Frame6 120 3480 1215 255 0
Text23 Frame6 1440 3480 1695 285 65
Label28 Frame6 120 3840 1215 255 0
Text24 Frame6 1440 3840 1695 285 66
Label30 Frame6 120 4320 1215 255 0
Text25 Frame6 1440 4320 1695 285 73
Label31 Frame6 120 4680 1215 255 0
Text26 Frame6 1440 4680 1695 285 74
Label32 Frame6 120 5040 1215 255 0
Text27 Frame6 1440 5040 1695 285 75
Label29 Frame7 120 240 1215 255 0
Text28 Frame7 1440 240 1695 285 69
Label33 Frame7 120 600 1335 255 0
Text29 Frame7 1440 600 1695 285 77
Label34 Frame7 120 1080 975 255 0
Text30 Frame7 1440 1080 1695 285 84
Label35 Frame7 120 1440 1335 255 0
Text31 Frame7 1440 1440 1695 285 85
Label37 Frame7 120 1920 975 255 0
Text32 Frame7 1440 1920 1695 285 86
Label38 Frame7 120 2280 1335 255 0
Text33 Frame7 1440 2280 1695 285 88
Label39 Frame7 120 2760 975 255 0
Text34 Frame7 1440 2760 1695 285 87
Command6 Frame7 3480 2760 1935 255 181
Label36 Frame7 120 3120 1335 255 0
Text35 Frame7 1440 3120 1695 285 89
Command13 Frame7 3480 3120 1935 255 182
Label40 Frame8 120 240 975 255 0
Text36 Frame8 1680 240 2655 285 93
Label41 Frame8 120 600 1575 255 0
Text37 Frame8 1680 600 1215 285 94
Label42 Frame8 120 960 1215 255 0
Combo4 Frame8 1680 960 495 315 96
Label43 Frame8 2280 960 2175 255 0
Label44 Frame8 120 1440 1095 255 0
Text38 Frame8 1680 1440 1695 285 101
Label45 Frame8 120 1800 1095 255 0
Text39 Frame8 1680 1800 1695 285 102
Label46 Frame8 120 2160 1095 255 0
Text40 Frame8 1680 2160 1695 285 103
Label47 Frame8 120 2640 975 255 0
Text41 Frame8 1680 2640 1695 285 107
Label48 Frame8 120 3000 975 255 0
Text42 Frame8 1680 3000 1695 285 108
Label49 Frame8 120 3360 975 255 0
Text43 Frame8 1680 3360 1695 285 109
Label50 Frame8 120 3840 975 255 0
Text44 Frame8 1680 3840 1695 285 113
Label51 Frame8 120 4200 975 255 0
Text45 Frame8 1680 4200 1695 285 114
Label52 Frame8 120 4560 975 255 0
Text46 Frame8 1680 4560 1695 285 115
Label53 Frame8 120 5040 1335 255 0
Text47 Frame8 1680 5040 1695 285 121
Label54 Frame8 120 5400 1335 255 0
Text48 Frame8 1680 5400 1695 285 122
Label55 Frame8 120 5760 1335 255 0
Text49 Frame8 1680 5760 1695 285 123
Label56 Frame8 120 6120 1335 255 0
Text50 Frame8 1680 6120 1695 285 124
Label57 Frame8 120 6600 1335 255 0
Text51 Frame8 1680 6600 1695 285 126
Command7 Frame8 4080 6600 1215 255 116
Label58 Frame9 120 240 495 255 0
Text52 Frame9 1800 240 1215 285 134
Command8 Frame9 4200 240 1215 255 152
Label59 Frame9 120 600 735 255 0
Text53 Frame9 1800 600 1215 285 133
Command10 Frame9 4200 600 1215 255 163
Label60 Frame9 120 1080 735 255 0
Text54 Frame9 1800 1080 2295 285 135
Label61 Frame9 120 1440 735 255 0
Text55 Frame9 1800 1440 2295 285 136
Label62 Frame9 120 1800 735 255 0
Text56 Frame9 1800 1800 2295 285 137
Label63 Frame9 120 2160 615 255 0
Text57 Frame9 1800 2160 2295 285 139
Label64 Frame9 120 2640 1215 255 0
Text58 Frame9 1440 2640 975 285 146
Label67 Frame9 2640 2640 1455 255 0
Text59 Frame9 4080 2640 1335 285 147
Label65 Frame9 120 3000 1215 255 0
Text60 Frame9 1440 3000 975 285 148
Label68 Frame9 2640 3000 1575 255 0
Text61 Frame9 4080 3000 1335 285 149
Label66 Frame9 120 3360 1215 255 0
Text62 Frame9 1440 3360 975 285 150
Label69 Frame9 2640 3360 1575 255 0
Text63 Frame9 4080 3360 1335 285 151
Label70 Frame10 120 240 855 255 0
Text64 Frame10 1320 240 1575 285 158
Label71 Frame10 120 600 735 255 0
Text65 Frame10 1320 600 1575 285 159
Label72 Frame10 120 960 735 255 0
Text66 Frame10 1320 960 1575 285 160
Command9 Frame10 4200 960 1215 255 162
Label73 Frame10 120 1320 735 255 0
Text67 Frame10 1320 1320 1575 285 161
Command11 Frame10 4200 1320 1215 255 164
Label74 Frame11 120 240 735 255 0
Text68 Frame11 1200 240 1215 285 173
Label75 Frame11 120 600 735 255 0
Text69 Frame11 1200 600 2055 285 174
Label76 Frame11 120 960 735 255 0
Text70 Frame11 1200 960 2055 285 175
Label77 Frame11 120 1320 735 255 0
Text71 Frame11 1200 1320 2055 285 176
Label78 Frame11 120 1680 615 255 0
Text72 Frame11 1200 1680 2055 285 177
Label79 Frame11 120 2040 615 255 0
Text73 Frame11 1200 2040 975 285 178
Label80 Frame11 120 2400 615 255 0
Text74 Frame11 1200 2400 975 285 179
Command12 Frame11 3960 2520 1215 255 180
SSTab1 Form1 0 0 5925 9975 2
Picture1 Form1 6360 7560 5475 1740 183
RichTextBox1 Frame5 120 240 5895 6495 1
Command1 Frame5 120 6840 1215 375 185
Command14 Frame5 1440 6840 1215 375 186
Frame5 Form1 6000 0 6135 7335 0
)";

// The page each frame of the tab control stands on.
inline constexpr char framePages[]
    = "Frame1 0 Frame2 0 Frame3 0 Frame4 0 Frame6 1 Frame7 1 Frame8 2 Frame9 3 Frame10 3 Frame11 4";

struct Control {
    QString name;
    QString container;
    QRect twips;
    int tabIndex;
    int page; // the tab page it stands on, or -1 beside the tab control
};

// The table above, read once, each control with the page it stands on.
[[nodiscard]] inline QList<Control> controls()
{
    QHash<QString, int> pages;
    const QStringList pageCells = QString::fromLatin1(framePages).split(u' ');
    for (qsizetype i = 0; i + 1 < pageCells.size(); i += 2)
        pages.insert(pageCells[i], pageCells[i + 1].toInt());
    QList<Control> all;
    for (const QString &line : QString::fromLatin1(layout).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList cells = line.split(u' ');
        const QRect twips(cells[2].toInt(), cells[3].toInt(), cells[4].toInt(), cells[5].toInt());
        const int page = pages.value(cells[0], pages.value(cells[1], -1));
        all.append({cells[0], cells[1], twips, cells[6].toInt(), page});
    }
    return all;
}

} // namespace tabled
