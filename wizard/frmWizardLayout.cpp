#include "frmWizard.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>

#include "ClickArea.h"
#include "WizardLook.h"
#include "WizardWidgets.h"
#include "assets/Assets.h"
#include "platform/FixedSizeWindow.h"
#include "platform/Twips.h"
#include "platform/WindowLook.h"

namespace glimmora {

// The controls of the six pages and the fixed frame: where each stands,
// with its caption and name. No behaviour lives here.

namespace {

// A label as the layouts draw them: text from the top left, wrapping at
// word boundaries, over its container's background.
QLabel* NewLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry) {
    auto* label = new LayoutLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

// A picture of the program's artwork; a missing one simply shows nothing.
QLabel* NewPicture(QWidget* parent, const char* name, const char* asset, const QRect& geometry) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(QString::fromLatin1(name));
    picture->setGeometry(geometry);
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(AssetPixmap(QString::fromLatin1(asset)));
    return picture;
}

QLineEdit* NewTextBox(QWidget* parent, const char* name, const QString& text,
                      const QRect& geometry) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    return box;
}

ClickArea* NewClickArea(QWidget* parent, const char* name, const QRect& geometry) {
    auto* area = new ClickArea(QString::fromLatin1(name), parent);
    area->setGeometry(geometry);
    return area;
}

// A clickable label: a click area that shows its caption.
ClickArea* NewClickLabel(QWidget* parent, const char* name, const QString& text,
                         const QRect& geometry) {
    auto* label = NewClickArea(parent, name, geometry);
    label->setText(text);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

// One line of an etched separator: a strip of one colour.
QWidget* NewLine(QWidget* parent, const char* name, Colour colour, const QRect& pixels) {
    auto* line = new QWidget(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setGeometry(pixels);
    line->setAutoFillBackground(true);
    SetColour(line, QPalette::Window, colour);
    // A line is drawing, not a control: the mouse over it is over whatever
    // lies beneath (the window's background, a frame).
    line->setAttribute(Qt::WA_TransparentForMouseEvents);
    return line;
}

// A horizontal etched separator from (left, y) to (right, y) in twips: a
// silver line two pixels wide, centred on y so that it covers the pixel
// rows just above and on y, and a white line on y in front of it.
std::pair<QWidget*, QWidget*> NewEtchedLine(QWidget* parent, const char* whiteName,
                                            const char* silverName, double left, double right,
                                            double y) {
    const int x = Twips(left);
    const int width = Twips(right) - x;
    const int row = Twips(y);
    QWidget* silver = NewLine(parent, silverName, kSilver, QRect(x, row - 1, width, 2));
    QWidget* white = NewLine(parent, whiteName, kWhite, QRect(x, row, width, 1));
    return {white, silver};
}

} // namespace

void frmWizard::BuildWindow() {
    setObjectName(QStringLiteral("frmWizard"));
    // A fixed single border with the close box only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Glimmora - Wizard"));
    setWindowIcon(ProgramIcon());
    setFixedSize(Twips(8415), Twips(5475));
    KeepFixedSize(*this);
    setFont(DefaultFont());
    // The window's own colours first; the controls change single roles.
    UseFixedColours(*this);
    setAutoFillBackground(true);
    // A picture file dropped on page 1 is chosen as with "...".
    setAcceptDrops(true);
    SetColour(this, QPalette::Window, kBackgroundColour);
    SetColour(this, QPalette::WindowText, kBlack);
    setMouseTracking(true);

    BuildFixedFrame();
    BuildPage1();
    BuildPage2();
    BuildPage3();
    BuildPage4();
    BuildPage5();
    BuildPage6();

    // txtEgg lies below the visible area: it cannot be seen or clicked, but
    // it takes the focus by a double click on the coloured example. Tab
    // passes it by.
    txtEgg = NewTextBox(this, "txtEgg", QString(), TwipsRect(1800, 5600, 1335, 285));
    txtEgg->setFocusPolicy(Qt::ClickFocus);

    // Stacking, front to back: click areas, hover faces, greyed faces.
    imgPrevious2->raise();
    imgNext2->raise();
    imgPrevious->raise();
    imgNext->raise();
    imgCancel->raise();
    cmdPre->raise();
    cmdNext->raise();
    cmdCancel->raise();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(width() / 2, height() / 2));
    }
}

// ---------------------------------------------------------------------------
// Layout

void frmWizard::BuildFixedFrame() {
    background_ = AssetPixmap(QStringLiteral("wizard/background.png"));

    Label1 = NewLabel(this, "Label1", QString(), TwipsRect(-120, 0, 8535, 855));
    Label1->setAutoFillBackground(true);
    SetColour(Label1, QPalette::Window, kWhite);

    lblSteg = NewLabel(this, "lblSteg", QString(), TwipsRect(45, 150, 855, 615));
    lblSteg->setFont(LayoutFace(QStringLiteral("Arial"), 20.25, true));
    lblSteg->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    SetColour(lblSteg, QPalette::WindowText, kGreen);

    lblDesc = NewLabel(this, "lblDesc", QString(), TwipsRect(1065, 285, 5415, 495));
    // The header strip overlaps the description's right end: the text wraps
    // before it rather than running under it.
    lblDesc->setContentsMargins(0, 0, Twips(1065 + 5415) - Twips(6315), 0);

    Picture3 =
        NewPicture(this, "Picture3", "wizard/header_strip.png", TwipsRect(6315, 30, 2940, 810));
    Picture5 = NewClickArea(this, "Picture5", TwipsRect(6735, 900, 870, 720));
    Picture5->setPixmap(AssetPixmap(QStringLiteral("wizard/restart.png")));
    Picture5->setAlignment(Qt::AlignCenter);
    Picture4 = NewPicture(this, "Picture4", "app/icon.png", TwipsRect(7680, 930, 705, 585));

    std::tie(Line1, Line2) = NewEtchedLine(this, "Line1", "Line2", 120, 8280, 4920);

    imgPrevious2 = NewPicture(this, "imgPrevious2", "wizard/previous_grey.png",
                              TwipsRect(3720, 5010, 1485, 405));
    imgNext2 =
        NewPicture(this, "imgNext2", "wizard/next_grey.png", TwipsRect(5295, 5010, 1485, 405));
    imgPrevious = NewPicture(this, "imgPrevious", "wizard/previous_hover.png",
                             TwipsRect(3720, 5010, 1485, 405));
    imgNext =
        NewPicture(this, "imgNext", "wizard/next_hover.png", TwipsRect(5295, 5010, 1485, 405));
    imgCancel =
        NewPicture(this, "imgCancel", "wizard/cancel_hover.png", TwipsRect(6870, 5010, 1485, 405));
    for (QLabel* face : {imgPrevious2, imgNext2, imgPrevious, imgNext, imgCancel}) {
        face->hide();
    }
    cmdPre = NewClickArea(this, "cmdPre", TwipsRect(3735, 5025, 1455, 375));
    cmdNext = NewClickArea(this, "cmdNext", TwipsRect(5310, 5025, 1455, 375));
    cmdCancel = NewClickArea(this, "cmdCancel", TwipsRect(6885, 5025, 1455, 375));

    // The tip of pages 3 and 4.
    lblTip = NewLabel(this, "lblTip", QString(), TwipsRect(1800, 4080, 4335, 495));
    picTip = NewPicture(this, "picTip", "wizard/bulb.png", TwipsRect(1080, 3840, 630, 780));
    lblTip->hide();
    picTip->hide();
}

void frmWizard::BuildPage1() {
    Frame1 = new WizardFrame(QStringLiteral("Frame1"), QStringLiteral("Image"), true, this);
    Frame1->setGeometry(TwipsRect(1560, 1680, 2535, 2295));
    Label9 = NewLabel(Frame1, "Label9", QStringLiteral("Image to transform:"),
                      TwipsRect(240, 360, 1455, 255));
    txtImage = NewTextBox(Frame1, "txtImage", QString(), TwipsRect(240, 600, 1455, 285));
    txtImage->setReadOnly(true);
    imgBrowse =
        NewPicture(Frame1, "imgBrowse", "wizard/browse.png", TwipsRect(1785, 615, 465, 255));
    imgBrowse2 =
        NewPicture(Frame1, "imgBrowse2", "wizard/browse_hover.png", TwipsRect(1785, 615, 465, 255));
    imgBrowse2->hide();
    cmdBrowse = NewClickArea(Frame1, "cmdBrowse", TwipsRect(1785, 615, 465, 255));
    std::tie(Line3, Line4) = NewEtchedLine(Frame1, "Line3", "Line4", 240, 2250, 1200);
    Label5 = NewLabel(Frame1, "Label5", QStringLiteral("Size:"), TwipsRect(240, 1320, 1095, 255));
    Label5->setFont(BoldFont());
    Label2 = NewLabel(Frame1, "Label2", QStringLiteral("Width:"), TwipsRect(240, 1560, 615, 255));
    Label4 = NewLabel(Frame1, "Label4", QStringLiteral("Height:"), TwipsRect(1440, 1560, 615, 255));
    // The size fields show what the picture decoder found and nothing else:
    // the conversion takes the picture's size from them.
    txtWidth = NewTextBox(Frame1, "txtWidth", QString(), TwipsRect(240, 1800, 855, 285));
    txtWidth->setReadOnly(true);
    Label3 = NewLabel(Frame1, "Label3", QStringLiteral("x"), TwipsRect(1200, 1800, 255, 255));
    txtHeight = NewTextBox(Frame1, "txtHeight", QString(), TwipsRect(1440, 1800, 855, 285));
    txtHeight->setReadOnly(true);
    Frame1->hide();

    Frame2 = new WizardFrame(QStringLiteral("Frame2"), QStringLiteral("Preview"), true, this);
    Frame2->setGeometry(TwipsRect(4680, 1680, kFrame2Width, kFrame2Height));
    picThumbNail =
        new ThumbnailBox(QStringLiteral("picThumbNail"),
                         AssetPixmap(QStringLiteral("wizard/thumb_placeholder.png")), Frame2);
    picThumbNail->setGeometry(
        TwipsRect(kThumbDesignLeft, kThumbDesignTop, kThumbDesignWidth, kThumbDesignHeight));
    Frame2->hide();
}

void frmWizard::BuildPage2() {
    Frame3 = new WizardFrame(QStringLiteral("Frame3"), QStringLiteral("Format"), true, this);
    Frame3->setGeometry(TwipsRect(5760, 1920, 2415, 2175));
    Label11 = NewLabel(Frame3, "Label11", QStringLiteral("Standard text:"),
                       TwipsRect(240, 360, 1575, 255));
    Label11->setFont(BoldFont());
    // The option buttons show their round mark only; the labels beside them
    // are their captions and select them too.
    const auto option = [this](const char* name, double top) {
        auto* button = new QRadioButton(Frame3);
        button->setObjectName(QString::fromLatin1(name));
        // The box as drawn, grown at the right and bottom where the style's
        // round mark is larger, so the mark is drawn whole where it stood.
        const QRect box = TwipsRect(480, top, 200, 200);
        const int mark =
            button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, button);
        button->setGeometry(QRect(box.topLeft(), box.size().expandedTo(QSize(mark, mark))));
        return button;
    };
    optClnTxt = option("optClnTxt", 630);
    Label20 = NewClickLabel(Frame3, "Label20", QStringLiteral("Clean text"),
                            TwipsRect(840, 600, 1095, 255));
    optRtf = option("optRtf", 915);
    Label21 =
        NewClickLabel(Frame3, "Label21", QStringLiteral("RTF"), TwipsRect(840, 900, 1095, 255));
    Label12 = NewLabel(Frame3, "Label12", QStringLiteral("HTML:"), TwipsRect(240, 1200, 1095, 255));
    Label12->setFont(BoldFont());
    optHtmlTxt = option("optHtmlTxt", 1455);
    Label24 =
        NewClickLabel(Frame3, "Label24", QStringLiteral("Text"), TwipsRect(840, 1440, 1095, 255));
    optHtmlCldTxt = option("optHtmlCldTxt", 1740);
    Label23 = NewClickLabel(Frame3, "Label23", QStringLiteral("Colored text"),
                            TwipsRect(840, 1725, 1095, 255));
    optRtf->setChecked(true);
    Frame3->hide();

    Label6 = NewLabel(this, "Label6", QStringLiteral("Example of Colored text:"),
                      TwipsRect(120, 1320, 1815, 375));
    Label6->setFont(BoldFont());
    Picture1 = NewClickArea(this, "Picture1", TwipsRect(120, 1800, 1800, 2940));
    Picture1->setPixmap(AssetPixmap(QStringLiteral("wizard/example_colored.png")));
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label7 = NewLabel(this, "Label7", QStringLiteral("Example of Standard text:"),
                      TwipsRect(2040, 2160, 3135, 255));
    Label7->setFont(BoldFont());
    Picture2 = NewPicture(this, "Picture2", "wizard/example_standard.png",
                          TwipsRect(2040, 2760, 3015, 2040));
    Picture2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (QWidget* control : std::initializer_list<QWidget*>{Label6, Picture1, Label7, Picture2}) {
        control->hide();
    }
}

void frmWizard::BuildPage3() {
    Frame4 = new WizardFrame(QStringLiteral("Frame4"), QStringLiteral("ASCII signs"), true, this);
    Frame4->setGeometry(TwipsRect(240, 3360, 8055, 1335));
    // A legend of the grey levels at which one ramp cell gives way to the
    // next, black at the left, white at the right.
    struct LegendSquare {
        double left;
        Colour grey;
    };
    constexpr std::array<LegendSquare, 10> kLegend{{{240, 0x000000},
                                                    {960, 0x1E1E1E},
                                                    {1800, 0x2D2D2D},
                                                    {2640, 0x373737},
                                                    {3480, 0x464646},
                                                    {4320, 0x5F5F5F},
                                                    {5160, 0x757575},
                                                    {6000, 0x949494},
                                                    {6840, 0xC3C3C3},
                                                    {7560, 0xFFFFFF}}};
    for (std::size_t i = 0; i < kLegend.size(); ++i) {
        auto* square =
            new ColourShape(QStringLiteral("shpLevel%1").arg(i + 1), ToQColor(kGreen), Frame4);
        square->setGeometry(TwipsRect(kLegend[i].left, 360, 255, 255));
        square->SetFill(ToQColor(kLegend[i].grey));
    }
    const auto cell = [this](const char* name, const char* text, double left) {
        QLineEdit* box =
            NewTextBox(Frame4, name, QString::fromLatin1(text), TwipsRect(left, 720, 855, 285));
        SetColour(box, QPalette::Base, kSilver);
        return box;
    };
    txtBlack = cell("txtBlack", "9", 240);
    txtColor2 = cell("txtColor2", "=", 1080);
    txtColor3 = cell("txtColor3", "u", 1920);
    txtColor4 = cell("txtColor4", "e", 2760);
    txtColor5 = cell("txtColor5", ";;", 3600);
    txtColor6 = cell("txtColor6", "::", 4440);
    txtColor7 = cell("txtColor7", ",,", 5280);
    txtColor8 = cell("txtColor8", "..", 6120);
    txtWhite = cell("txtWhite", "  ", 6960);
    txtWhite->setEnabled(false);
    Frame4->hide();

    Frame5 = new WizardFrame(QStringLiteral("Frame5"), QStringLiteral("Font"), true, this);
    Frame5->setGeometry(TwipsRect(3000, 1680, 2175, 1575));
    Label18 =
        NewLabel(Frame5, "Label18", QStringLiteral("Font face:"), TwipsRect(240, 240, 855, 255));
    cbFace = new QComboBox(Frame5);
    cbFace->setObjectName(QStringLiteral("cbFace"));
    cbFace->setGeometry(TwipsRect(240, 480, 1695, 315));
    cbFace->setEditable(true);
    // The face is taken as typed: no completion, and Enter does not add it
    // to the list.
    cbFace->setCompleter(nullptr);
    cbFace->setInsertPolicy(QComboBox::NoInsert);
    cbFace->setEditText(QStringLiteral("Tahoma"));
    Label14 = NewLabel(Frame5, "Label14", QStringLiteral("Size:"), TwipsRect(240, 840, 375, 255));
    txtSize = NewTextBox(Frame5, "txtSize", QStringLiteral("8"), TwipsRect(240, 1080, 615, 285));
    SetColour(txtSize, QPalette::Base, kSilver);
    Label10 = NewLabel(Frame5, "Label10", QStringLiteral("pt."), TwipsRect(870, 1125, 375, 255));
    Frame5->hide();

    Frame6 =
        new WizardFrame(QStringLiteral("Frame6"), QStringLiteral("Background color"), true, this);
    Frame6->setGeometry(TwipsRect(4320, 1680, 1935, 1575));
    ShpColor = new ColourShape(QStringLiteral("ShpColor"), ToQColor(kGreen), Frame6);
    ShpColor->setGeometry(TwipsRect(240, 360, 1455, 735));
    ShpColor->SetFill(ToQColor(swatchColour_));
    lblColor = NewClickArea(Frame6, "lblColor", TwipsRect(240, 360, 1455, 735));
    Label16 = NewLabel(Frame6, "Label16", QStringLiteral("(Click to change)"),
                       TwipsRect(360, 1200, 1335, 255));
    Label16->setFont(ArialFont());
    Frame6->hide();

    Frame7 = new WizardFrame(QStringLiteral("Frame7"), QStringLiteral("Word:"), true, this);
    Frame7->setGeometry(TwipsRect(5280, 1680, 2415, 1575));
    Label13 = NewLabel(Frame7, "Label13", QStringLiteral("Type your word here:"),
                       TwipsRect(240, 480, 1815, 255));
    Label13->setFont(ArialFont());
    txtWord = NewTextBox(Frame7, "txtWord", QString(), TwipsRect(240, 840, 1935, 285));
    Frame7->hide();
}

void frmWizard::BuildPage4() {
    Frame8 = new WizardFrame(QStringLiteral("Frame8"), QStringLiteral("Scale"), true, this);
    Frame8->setGeometry(TwipsRect(3240, 2280, 1815, 1215));
    Label19 =
        NewClickLabel(Frame8, "Label19", QStringLiteral("Width:"), TwipsRect(240, 360, 975, 255));
    txtScaleWidth = NewTextBox(Frame8, "txtScaleWidth", QString(), TwipsRect(240, 600, 495, 285));
    Label17 = NewLabel(Frame8, "Label17", QStringLiteral("Height:"), TwipsRect(960, 360, 735, 255));
    txtScaleHeight = NewTextBox(Frame8, "txtScaleHeight", QString(), TwipsRect(960, 600, 495, 285));
    Frame8->hide();
}

void frmWizard::BuildPage5() {
    Frame9 = new WizardFrame(QStringLiteral("Frame9"), QString(), false, this);
    Frame9->setGeometry(TwipsRect(2040, 1920, 4695, 1935));
    Label28 = NewLabel(Frame9, "Label28", QStringLiteral("Building ASCII art..."),
                       TwipsRect(240, 120, 4095, 255));
    Label28->setFont(BoldFont());
    lblDir = NewLabel(Frame9, "lblDir", QStringLiteral("C:\\..."), TwipsRect(240, 480, 4095, 255));
    lblDir->setWordWrap(false);
    Shape18 = new ColourShape(QStringLiteral("Shape18"), ToQColor(kBlack), Frame9);
    Shape18->setGeometry(TwipsRect(180, 900, 4095, 255));
    lblProgressBar = NewLabel(Frame9, "lblProgressBar", QString(), TwipsRect(240, 960, 3975, 135));
    lblProgressBar->setAutoFillBackground(true);
    SetColour(lblProgressBar, QPalette::Window, kGreen);
    Label22 = NewLabel(Frame9, "Label22", QStringLiteral("Scanning line"),
                       TwipsRect(165, 1215, 3975, 255));
    lblLine = NewLabel(Frame9, "lblLine", QStringLiteral("0"), TwipsRect(1260, 1215, 1935, 255));
    Label8 =
        NewLabel(Frame9, "Label8", QStringLiteral("Time left:"), TwipsRect(165, 1515, 855, 255));
    lblTime = NewLabel(Frame9, "lblTime", QStringLiteral("0 h, 0 min, 0 sek"),
                       TwipsRect(1080, 1515, 3015, 255));
    Frame9->hide();
}

void frmWizard::BuildPage6() {
    Frame10 = new WizardFrame(QStringLiteral("Frame10"), QString(), false, this);
    Frame10->setGeometry(TwipsRect(480, 2040, 7815, 2055));
    Image1 =
        NewPicture(Frame10, "Image1", "wizard/page6_icons.png", TwipsRect(1920, 120, 3570, 1350));
    cmdArt = NewClickArea(Frame10, "cmdArt", TwipsRect(2010, 195, 585, 570));
    cmdPrint = NewClickArea(Frame10, "cmdPrint", TwipsRect(3975, 195, 585, 570));
    cmdCopy = NewClickArea(Frame10, "cmdCopy", TwipsRect(2010, 825, 585, 570));
    cmdSave = NewClickArea(Frame10, "cmdSave", TwipsRect(3975, 825, 585, 570));
    Label25 = NewLabel(Frame10, "Label25",
                       QStringLiteral("OBS! You can not go back to here after you have clicked "
                                      "\"Cancel\"! "),
                       TwipsRect(960, 1560, 6135, 255));
    Label25->setFont(BoldFont());
    SetColour(Label25, QPalette::WindowText, kOrange);
    Frame10->hide();
}

void frmWizard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, background_);
}

} // namespace glimmora
