#include "frmWizard.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>

#include <array>
#include <tuple>

#include "ClickArea.h"
#include "ProgramState.h"
#include "WizardWidgets.h"
#include "assets/Assets.h"
#include "core/ConversionJob.h"
#include "core/Numbers.h"
#include "core/Progress.h"
#include "core/Scale.h"
#include "output/ArtViewer.h"
#include "output/Outlets.h"
#include "platform/Platform.h"
#include "platform/Twips.h"

namespace glimmora {

const QString frmWizard::kSecretPhrase = QStringLiteral("Maribel Oskarsen Vandertol");

namespace {

// Colours as the layouts give them, 0x00BBGGRR.
constexpr Colour kBackgroundColour = 0xE0E0E0;
constexpr Colour kSilver = 0xC0C0C0;
constexpr Colour kGreen = 0x00C000;
constexpr Colour kOrange = 0x0080FF;
constexpr Colour kBlack = 0x000000;
constexpr Colour kWhite = 0xFFFFFF;

// The preview box and the frame it is centred in, in twips.
constexpr float kThumbDesignLeft = 120;
constexpr float kThumbDesignTop = 240;
constexpr float kThumbDesignWidth = 1515;
constexpr float kThumbDesignHeight = 1935;
constexpr float kFrame2Width = 1755;
constexpr float kFrame2Height = 2295;

// Longer picture paths are cut on page 5.
constexpr int kLongestShownPath = 40;

QColor ToQColor(Colour colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

Colour FromQColor(const QColor& colour) {
    return static_cast<Colour>(colour.red() | (colour.green() << 8) | (colour.blue() << 16));
}

QFont DefaultFont() {
    return LayoutFont(QStringLiteral("MS Sans Serif"), 8.25);
}

QFont BoldFont() {
    return LayoutFont(QStringLiteral("MS Sans Serif"), 8.25, true);
}

QFont ArialFont() {
    return LayoutFont(QStringLiteral("Arial"), 8.25);
}

void SetColour(QWidget* widget, QPalette::ColorRole role, Colour colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::All, role, ToQColor(colour));
    widget->setPalette(palette);
}

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

frmWizard::frmWizard(Platform& platform, ProgramState& state, ArtViewer& viewer, QWidget* parent)
    : QWidget(parent), platform_(platform), state_(state), viewer_(viewer),
      Timer1_(platform.CreateTickSource()), tmrTid_(platform.CreateTickSource()) {
    setObjectName(QStringLiteral("frmWizard"));
    // A fixed single border with the close box only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Glimmora - Wizard"));
    setWindowIcon(QIcon(AssetPixmap(QStringLiteral("app/icon.png"))));
    setFixedSize(Twips(8415), Twips(5475));
    setFont(DefaultFont());
    setAutoFillBackground(true);
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
    // it takes the focus (by a double click on the coloured example, or by
    // Tab, as the last stop of the tab order).
    txtEgg = NewTextBox(this, "txtEgg", QString(), TwipsRect(1800, 5600, 1335, 285));

    // Stacking, front to back: click areas, hover faces, greyed faces.
    imgPrevious2->raise();
    imgNext2->raise();
    imgPrevious->raise();
    imgNext->raise();
    imgCancel->raise();
    cmdPre->raise();
    cmdNext->raise();
    cmdCancel->raise();

    WireHandlers();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(width() / 2, height() / 2));
    }

    Form_Load();
}

frmWizard::~frmWizard() = default;

// ---------------------------------------------------------------------------
// Layout

void frmWizard::BuildFixedFrame() {
    background_ = AssetPixmap(QStringLiteral("wizard/background.png"));

    Label1 = NewLabel(this, "Label1", QString(), TwipsRect(-120, 0, 8535, 855));
    Label1->setAutoFillBackground(true);
    SetColour(Label1, QPalette::Window, kWhite);

    lblSteg = NewLabel(this, "lblSteg", QString(), TwipsRect(45, 150, 855, 615));
    lblSteg->setFont(LayoutFont(QStringLiteral("Arial"), 20.25, true));
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
        button->setGeometry(TwipsRect(480, top, 200, 200));
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

    Timer1_->SetInterval(1);
    Timer1_->SetHandler([this] { Timer1_Timer(); });
    Timer1_->SetEnabled(false);
    tmrTid_->SetInterval(1000);
    tmrTid_->SetHandler([this] { tmrTid_Timer(); });
    tmrTid_->SetEnabled(false);
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

void frmWizard::WireHandlers() {
    connect(cmdNext, &ClickArea::clicked, this, &frmWizard::cmdNext_Click);
    connect(cmdPre, &ClickArea::clicked, this, &frmWizard::cmdPre_Click);
    connect(cmdCancel, &ClickArea::clicked, this, &frmWizard::cmdCancel_Click);
    connect(Picture5, &ClickArea::clicked, this, &frmWizard::Picture5_Click);
    connect(cmdBrowse, &ClickArea::clicked, this, &frmWizard::cmdBrowse_Click);

    connect(Label20, &ClickArea::clicked, this, &frmWizard::Label20_Click);
    connect(Label21, &ClickArea::clicked, this, &frmWizard::Label21_Click);
    connect(Label24, &ClickArea::clicked, this, &frmWizard::Label24_Click);
    connect(Label23, &ClickArea::clicked, this, &frmWizard::Label23_Click);
    connect(lblColor, &ClickArea::clicked, this, &frmWizard::lblColor_Click);

    // Next on page 4 follows the step boxes as they are typed.
    connect(txtScaleWidth, &QLineEdit::textChanged, this, &frmWizard::UpdateScaleNext);
    connect(txtScaleHeight, &QLineEdit::textChanged, this, &frmWizard::UpdateScaleNext);
    connect(Label19, &ClickArea::clicked, this, &frmWizard::Label19_Click);

    connect(cmdArt, &ClickArea::clicked, this, &frmWizard::cmdArt_Click);
    connect(cmdPrint, &ClickArea::clicked, this, &frmWizard::cmdPrint_Click);
    connect(cmdCopy, &ClickArea::clicked, this, &frmWizard::cmdCopy_Click);
    connect(cmdSave, &ClickArea::clicked, this, &frmWizard::cmdSave_Click);

    connect(cmdPre, &ClickArea::mouseMoved, this, &frmWizard::cmdPre_MouseMove);
    connect(cmdNext, &ClickArea::mouseMoved, this, &frmWizard::cmdNext_MouseMove);
    connect(cmdCancel, &ClickArea::mouseMoved, this, &frmWizard::cmdCancel_MouseMove);
    connect(cmdBrowse, &ClickArea::mouseMoved, this, &frmWizard::cmdBrowse_MouseMove);
    // These controls put the buttons back to their idle look when the mouse
    // moves over them (Frame1_MouseMove, Label9_MouseMove and the rest are
    // all ResetHover, so one event filter serves them); every other control
    // leaves a lit button lit.
    for (QWidget* control : std::initializer_list<QWidget*>{
             Frame1, Frame10, Label9, Label5, Label2, Label4, Label3, txtImage, txtWidth, txtHeight,
             lblSteg, lblDesc, Picture3}) {
        control->setMouseTracking(true);
        control->installEventFilter(this);
    }

    connect(Picture1, &ClickArea::doubleClicked, this, &frmWizard::Picture1_DblClick);
    connect(txtEgg, &QLineEdit::textChanged, this, &frmWizard::txtEgg_Change);
}

void frmWizard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, background_);
}

// ---------------------------------------------------------------------------
// Page flow

void frmWizard::Form_Load() {
    ThumbMaxWidth_ = kThumbDesignWidth;
    ThumbMaxHeight_ = kThumbDesignHeight;
    state_.BackgroundColorCode = "000000";
    cbFace->addItems(platform_.FontFamilies());
    // Filling the list must not replace the face shown.
    cbFace->setCurrentIndex(-1);
    cbFace->setEditText(QStringLiteral("Tahoma"));
    lblProgressBar->hide();
    ShowStep1();
    CurrentStep_ = 1;
}

void frmWizard::ClearPageArea() {
    for (QWidget* group : std::initializer_list<QWidget*>{
             Frame1, Frame2, Frame3, Picture1, Label6, Picture2, Label7, Frame4, Frame5, Frame6,
             Frame7, Frame8, Frame9, lblTip, picTip, Frame10}) {
        group->hide();
    }
    ResetHover();
}

void frmWizard::cmdNext_Click() {
    ClearPageArea();
    // Page 6 is the last.
    if (CurrentStep_ >= 1 && CurrentStep_ <= 5) {
        GoToStep(CurrentStep_ + 1);
    }
}

void frmWizard::cmdPre_Click() {
    ClearPageArea();
    // Only pages 2 to 4 lead back; the conversion and its result do not.
    if (CurrentStep_ == 4) {
        // Next on page 4 follows the step boxes; the earlier pages have
        // their own rule, and page 3 entered from here takes Next enabled.
        SetNextEnabled(true);
    }
    if (CurrentStep_ >= 2 && CurrentStep_ <= 4) {
        GoToStep(CurrentStep_ - 1);
    }
}

void frmWizard::GoToStep(int step) {
    // The step changes before the page is shown: page 4's Next follows its
    // step boxes only while page 4 is the current step.
    CurrentStep_ = step;
    switch (step) {
    case 1:
        ShowStep1();
        break;
    case 2:
        ShowStep2();
        break;
    case 3:
        ShowStep3();
        break;
    case 4:
        ShowStep4();
        break;
    case 5:
        ShowStep5();
        break;
    case 6:
        ShowStep6();
        break;
    default:
        break;
    }
}

void frmWizard::cmdCancel_Click() {
    close();
}

void frmWizard::Picture5_Click() {
    RestartPending_ = true;
    StopTimers();
    close();
}

void frmWizard::closeEvent(QCloseEvent* event) {
    Form_QueryUnload(event);
}

void frmWizard::Form_QueryUnload(QCloseEvent* event) {
    if (RestartPending_) {
        RestartPending_ = false;
        // The fresh wizard opens while this one is still on screen.
        emit restartRequested();
        event->accept();
        return;
    }
    // The timers go on while the question is open.
    if (!platform_.AskYesNo(this, QStringLiteral("Exit Glimmora Wizard"),
                            QStringLiteral("Are you sure that you want to exit the Wizard?"))) {
        event->ignore();
        return;
    }
    StopTimers();
    // Drops the art built so far and the picture.
    engine_.reset();
    conversionPicture_.reset();
    PixelSurface_.reset();
    emit confirmedClose();
    event->accept();
}

void frmWizard::StopTimers() {
    Timer1_->SetEnabled(false);
    tmrTid_->SetEnabled(false);
}

// A disabled button never lights: its highlighted face goes when it is
// disabled under a resting mouse (Next on page 4 follows the typing).
void frmWizard::SetNextEnabled(bool enabled) {
    cmdNext->setEnabled(enabled);
    imgNext2->setVisible(!enabled);
    if (!enabled) {
        imgNext->hide();
    }
}

void frmWizard::SetPreviousEnabled(bool enabled) {
    cmdPre->setEnabled(enabled);
    imgPrevious2->setVisible(!enabled);
    if (!enabled) {
        imgPrevious->hide();
    }
}

void frmWizard::ShowStep1() {
    Frame1->show();
    Frame2->show();
    SetPreviousEnabled(false);
    lblSteg->setText(QStringLiteral("1."));
    lblDesc->setText(QStringLiteral("Select an image that you want to transform to ASCII art."));
    if (!txtImage->text().isEmpty()) {
        ShowThumbnail();
    }
    if (txtImage->text().isEmpty()) {
        SetNextEnabled(false);
    }
}

void frmWizard::ShowStep2() {
    for (QWidget* control :
         std::initializer_list<QWidget*>{Frame3, Picture1, Label6, Picture2, Label7}) {
        control->show();
    }
    SetPreviousEnabled(true);
    lblSteg->setText(QStringLiteral("2."));
    lblDesc->setText(QStringLiteral("Which format do you want to use?"));
}

void frmWizard::ShowStep3() {
    lblSteg->setText(QStringLiteral("3."));
    const auto twoCharacterRamp = [this] {
        txtColor5->setText(QStringLiteral(";;"));
        txtColor6->setText(QStringLiteral("::"));
        txtColor7->setText(QStringLiteral(",,"));
        txtColor8->setText(QStringLiteral(".."));
        txtWhite->setText(QStringLiteral("  "));
    };
    if (optHtmlCldTxt->isChecked()) {
        txtSize->setText(QStringLiteral("8"));
        cbFace->setEditText(QStringLiteral("Tahoma"));
        SetSwatchColour(kBlack);
        lblDesc->setText(QStringLiteral("Select background color and font that you want in your "
                                        "HTML file. You must also choose a word that will build "
                                        "your picture."));
        Frame5->move(Twips(960), Frame5->y());
        Frame6->move(Twips(3240), Frame6->y());
        Frame5->show();
        Frame6->show();
        Frame7->show();
        lblTip->show();
        picTip->show();
        lblTip->setText(QStringLiteral("We recommend you to write your word in capitals only. It "
                                       "looks more beautiful then!"));
    } else if (optHtmlTxt->isChecked()) {
        txtSize->setText(QStringLiteral("5"));
        cbFace->setEditText(QStringLiteral("Arial"));
        SetSwatchColour(kWhite);
        lblDesc->setText(QStringLiteral("Select background color and font that you want in your "
                                        "HTML file and type in which ASCII signs that you want to "
                                        "use."));
        Frame5->move(Twips(2040), Frame5->y());
        Frame6->move(Twips(4320), Frame6->y());
        Frame5->show();
        Frame6->show();
        Frame4->move(Twips(240), Twips(3360));
        Frame4->show();
        twoCharacterRamp();
    } else if (optRtf->isChecked()) {
        txtSize->setText(QStringLiteral("5"));
        cbFace->setEditText(QStringLiteral("Arial"));
        lblDesc->setText(QStringLiteral("Select font and which ASCII signs that you want to use."));
        Frame4->move(Twips(240), Twips(3360));
        Frame4->show();
        Frame5->move(Twips(3000), Frame5->y());
        Frame5->show();
        twoCharacterRamp();
    } else if (optClnTxt->isChecked()) {
        lblDesc->setText(QStringLiteral("Select which ASCII signs that you want to use."));
        Frame4->move(Twips(240), Twips(2160));
        Frame4->show();
        txtColor5->setText(QStringLiteral(";"));
        txtColor6->setText(QStringLiteral(":"));
        txtColor7->setText(QStringLiteral(","));
        txtColor8->setText(QStringLiteral("."));
        txtWhite->setText(QStringLiteral(" "));
    }
}

void frmWizard::ShowStep4() {
    state_.BackgroundColorCode = ColorToHex(swatchColour_);
    state_.FontSizeText = txtSize->text().toStdString();
    state_.FontFaceText = cbFace->currentText().toStdString();
    lblSteg->setText(QStringLiteral("4."));
    lblDesc->setText(QStringLiteral("Set the scale of the new picture."));
    SetPreviousEnabled(true);
    UpdateScaleNext();
    lblTip->show();
    picTip->show();
    lblTip->setText(QStringLiteral("The program calculate the scale for you so you only need to "
                                   "change the scale if you not are happy with the size."));
    AutoScale();
    UpdateScaleNext();
    Frame8->show();
}

void frmWizard::ShowStep5() {
    lblSteg->setText(QStringLiteral("5."));
    lblDesc->setText(QStringLiteral("Please wait while the program create your ASCII art..."));
    Frame9->show();
    SetNextEnabled(false);
    SetPreviousEnabled(false);
    lblProgressBar->show();
    SetProgressBarWidth(0);

    // The inputs cannot change while page 5 is shown: the engine takes them
    // once, as the controls hold them now.
    ConversionInputs inputs;
    inputs.widthText = txtWidth->text().toStdString();
    inputs.heightText = txtHeight->text().toStdString();
    inputs.scaleWidthText = txtScaleWidth->text().toStdString();
    inputs.scaleHeightText = txtScaleHeight->text().toStdString();
    inputs.coloured = optHtmlCldTxt->isChecked();
    const std::array<const QLineEdit*, 9> ramp{txtBlack,  txtColor2, txtColor3,
                                               txtColor4, txtColor5, txtColor6,
                                               txtColor7, txtColor8, txtWhite};
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        inputs.ramp[i] = ramp[i]->text().toStdString();
    }
    inputs.word = txtWord->text().toStdString();
    state_.ArtBuffer.clear();
    conversionPicture_ = PixelSurface_;
    engine_ = std::make_unique<ConversionEngine>(std::move(inputs), conversionPicture_.get());
    ElapsedSeconds_ = 0;

    Label22->setText(QStringLiteral("Scanning line"));
    Label22->show();
    lblLine->show();
    QString path = txtImage->text();
    if (path.size() > kLongestShownPath) {
        path = path.left(kLongestShownPath) + QStringLiteral("...");
    }
    lblDir->setText(path);
    Timer1_->SetEnabled(true);
    tmrTid_->SetEnabled(true);
}

void frmWizard::ShowStep6() {
    lblSteg->setText(QStringLiteral("6."));
    lblDesc->setText(QStringLiteral("What do you want to do with your picture?"));
    SetNextEnabled(false);
    Frame10->show();
}

// ---------------------------------------------------------------------------
// Page 1: the picture

void frmWizard::cmdBrowse_Click() {
    // A cancelled dialog gives back the name it held before.
    if (const std::optional<QString> chosen = platform_.GetOpenFileName(this)) {
        dialogFileName_ = *chosen;
    }
    if (dialogFileName_.isEmpty()) {
        // Nothing has been chosen yet: there is nothing to load or report.
        txtImage->clear();
        SetNextEnabled(false);
        return;
    }
    txtImage->setText(dialogFileName_);
    txtImage->setCursorPosition(0); // the path from its beginning
    state_.ImageFileTitle = QFileInfo(dialogFileName_).fileName().toStdString();
    if (!LoadChosenPicture(txtImage->text())) {
        platform_.ShowCritical(this, QStringLiteral("Load picture"),
                               QStringLiteral("Invalid picture!"));
        txtImage->clear();
        SetNextEnabled(false);
        ShowPlaceholderThumbnail();
        return;
    }
    if (!txtImage->text().isEmpty()) {
        SetNextEnabled(true);
    }
}

bool frmWizard::LoadChosenPicture(const QString& path) {
    PictureLoadResult loaded = platform_.LoadPicture(path);
    if (!loaded.picture) {
        return false;
    }
    // Replacing the surface releases the previous picture.
    PixelSurface_ = std::move(loaded.picture);
    txtWidth->setText(QString::number(PixelSurface_->Width()));
    txtHeight->setText(QString::number(PixelSurface_->Height()));
    ShowThumbnail();
    return true;
}

void frmWizard::ShowThumbnail() {
    thumbWidth_ = ThumbMaxWidth_;
    thumbHeight_ = ThumbMaxHeight_;
    if (!PixelSurface_) {
        ShowPlaceholderThumbnail();
        return;
    }
    // The picture's size in twips with the holder's one-pixel border on each
    // side, shrunk by 1 % at a time until it fits; never enlarged.
    float w = static_cast<float>((PixelSurface_->Width() + 2) * kTwipsPerPixel);
    float h = static_cast<float>((PixelSurface_->Height() + 2) * kTwipsPerPixel);
    while (w > ThumbMaxWidth_ || h > ThumbMaxHeight_) {
        w = static_cast<float>(w / 1.01);
        h = static_cast<float>(h / 1.01);
    }
    thumbWidth_ = w;
    thumbHeight_ = h;
    // Centred in the frame, 40 twips lower to clear its caption.
    thumbLeft_ = static_cast<float>((kFrame2Width - w) / 2.0);
    thumbTop_ = static_cast<float>((kFrame2Height - h) / 2.0 + 40);
    PlaceThumbnail();
    picThumbNail->DrawPicture(PixelSurface_->Image(),
                              picThumbNail->size() - QSize(2, 2)); // inside the border
}

void frmWizard::ShowPlaceholderThumbnail() {
    picThumbNail->ClearDrawing();
    thumbTop_ = kThumbDesignTop;
    thumbLeft_ = kThumbDesignLeft;
    thumbHeight_ = ThumbMaxHeight_;
    thumbWidth_ = ThumbMaxWidth_;
    PlaceThumbnail();
}

void frmWizard::PlaceThumbnail() {
    picThumbNail->setGeometry(TwipsRect(thumbLeft_, thumbTop_, thumbWidth_, thumbHeight_));
}

// ---------------------------------------------------------------------------
// Pages 2 and 3: format and style

OutputFormat frmWizard::SelectedFormat() const {
    if (optHtmlCldTxt->isChecked()) {
        return OutputFormat::HtmlColoredText;
    }
    if (optHtmlTxt->isChecked()) {
        return OutputFormat::HtmlText;
    }
    if (optClnTxt->isChecked()) {
        return OutputFormat::CleanText;
    }
    return OutputFormat::Rtf;
}

void frmWizard::SetSwatchColour(Colour colour) {
    swatchColour_ = colour;
    ShpColor->SetFill(ToQColor(colour));
}

// A click on a format's caption selects its option button, as a click on
// the button does.
void frmWizard::Label20_Click() {
    optClnTxt->setChecked(true);
}

void frmWizard::Label21_Click() {
    optRtf->setChecked(true);
}

void frmWizard::Label24_Click() {
    optHtmlTxt->setChecked(true);
}

void frmWizard::Label23_Click() {
    optHtmlCldTxt->setChecked(true);
}

void frmWizard::lblColor_Click() {
    // A cancelled dialog reports the colour it reported last (black at
    // first), and that colour is applied.
    if (const std::optional<QColor> chosen = platform_.GetColor(this)) {
        lastDialogColour_ = FromQColor(*chosen);
    }
    SetSwatchColour(lastDialogColour_);
    state_.BackgroundColorCode = ColorToHex(lastDialogColour_);
}

// ---------------------------------------------------------------------------
// Page 4: the scale

void frmWizard::AutoScale() {
    const ScaleProposal proposal = glimmora::AutoScale(
        txtWidth->text().toStdString(), txtHeight->text().toStdString(), SelectedFormat());
    txtScaleWidth->setText(QString::fromStdString(proposal.across));
    txtScaleHeight->setText(QString::fromStdString(proposal.down));
}

void frmWizard::UpdateScaleNext() {
    // Only whole steps from 1 to 32767 let a conversion finish: anything
    // else keeps page 5 out of reach.
    if (CurrentStep_ != 4) {
        return;
    }
    SetNextEnabled(IsUsableStep(txtScaleWidth->text().toStdString()) &&
                   IsUsableStep(txtScaleHeight->text().toStdString()));
}

void frmWizard::Label19_Click() {
    // Pause: the conversion stops where it is while the clock goes on.
    Timer1_->SetEnabled(false);
    Label22->show();
    lblLine->show();
    Label22->setText(QStringLiteral("Paused at"));
}

// ---------------------------------------------------------------------------
// Page 5: the conversion

void frmWizard::Timer1_Timer() {
    if (!engine_) {
        return;
    }
    const StepResult result = engine_->Step();
    if (result == StepResult::Cell) {
        return;
    }
    ShowLineEnd();
    if (result == StepResult::Finished) {
        FinishConversion();
    }
}

void frmWizard::ShowLineEnd() {
    const std::int16_t line = engine_->CurrentLine();
    const std::int16_t height = engine_->Height();
    lblLine->setText(QString::fromStdString(LineCounterText(line, height)));
    if (const std::optional<float> width =
            glimmora::ProgressBarWidth(engine_->ScaleHeight(), engine_->CellRow(), height)) {
        SetProgressBarWidth(*width);
    }
    if (const std::optional<std::string> left = TimeLeftText(ElapsedSeconds_, line, height)) {
        lblTime->setText(QString::fromStdString(*left));
    }
}

void frmWizard::FinishConversion() {
    Timer1_->SetEnabled(false);
    lblLine->hide();
    Label22->hide();
    Label28->setText(QStringLiteral("Done! Press \"Next >\" to continue."));
    SetNextEnabled(true);
    SetProgressBarWidth(kProgressBarFullWidth);
    lblProgressBar->show();
    state_.ArtBuffer = engine_->TakeArtText();
    tmrTid_->SetEnabled(false);
    lblTime->setText(QStringLiteral("0 h, 0 min, 0 sek."));
    emit conversionFinished();
}

void frmWizard::SetProgressBarWidth(float twips) {
    progressBarWidth_ = twips;
    lblProgressBar->resize(Twips(twips), lblProgressBar->height());
}

void frmWizard::tmrTid_Timer() {
    ElapsedSeconds_ = NextElapsedSeconds(ElapsedSeconds_);
}

// ---------------------------------------------------------------------------
// Page 6: the outlets

void frmWizard::cmdArt_Click() {
    viewer_.Show(QString::fromStdString(state_.ArtBuffer));
}

void frmWizard::cmdPrint_Click() {
    PrintArt(platform_, SelectedFormat(), state_.ArtBuffer);
}

void frmWizard::cmdCopy_Click() {
    CopyArt(platform_, state_.ArtBuffer);
}

void frmWizard::cmdSave_Click() {
    SaveInputs inputs;
    inputs.format = SelectedFormat();
    inputs.artText = state_.ArtBuffer;
    inputs.style.backgroundColorCode = state_.BackgroundColorCode;
    inputs.style.fontSizeText = state_.FontSizeText;
    inputs.style.fontFaceText = state_.FontFaceText;
    inputs.imageFileTitle = state_.ImageFileTitle;
    SaveArt(platform_, this, inputs);
}

// ---------------------------------------------------------------------------
// Hover

void frmWizard::ResetHover() {
    imgPrevious->hide();
    imgNext->hide();
    imgCancel->hide();
    imgBrowse2->hide();
    imgBrowse->show();
}

void frmWizard::cmdPre_MouseMove() {
    ResetHover();
    imgPrevious->show();
}

void frmWizard::cmdNext_MouseMove() {
    ResetHover();
    imgNext->show();
}

void frmWizard::cmdCancel_MouseMove() {
    ResetHover();
    imgCancel->show();
}

void frmWizard::cmdBrowse_MouseMove() {
    ResetHover();
    imgBrowse->hide();
    imgBrowse2->show();
}

void frmWizard::Form_MouseMove() {
    ResetHover();
}

void frmWizard::mouseMoveEvent(QMouseEvent* event) {
    Form_MouseMove();
    QWidget::mouseMoveEvent(event);
}

bool frmWizard::eventFilter(QObject* watched, QEvent* event) {
    // Only the controls that put the buttons back have this filter.
    if (event->type() == QEvent::MouseMove) {
        ResetHover();
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// The hidden phrase

void frmWizard::Picture1_DblClick() {
    txtEgg->setFocus();
}

void frmWizard::txtEgg_Change(const QString& text) {
    if (text != kSecretPhrase) {
        return;
    }
    // Emptying the box runs this handler once more, with nothing to match.
    txtEgg->clear();
    emit secretPhraseEntered();
}

} // namespace glimmora
