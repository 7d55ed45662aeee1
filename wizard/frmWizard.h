#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>

#include "core/Colour.h"
#include "core/Format.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace glimmora {

class ArtViewer;
class ClickArea;
class ColourShape;
class ConversionEngine;
class PictureFile;
class SampledDecoder;
class SampledPicture;
struct ConversionInputs;
struct SampledPictureResult;
class Platform;
class ThumbnailBox;
class TickSource;
class WizardFrame;
struct ProgramState;

// The six-page wizard window "Glimmora - Wizard": 1 picture, 2 format,
// 3 style, 4 scale, 5 conversion, 6 result. The inputs of a conversion live
// in its controls; the values that outlive the window live in the
// ProgramState it is given.
class frmWizard : public QWidget {
    Q_OBJECT
public:
    frmWizard(Platform& platform, ProgramState& state, ArtViewer& viewer,
              QWidget* parent = nullptr);
    ~frmWizard() override;

    // The phrase that, typed into txtEgg, opens the hidden picture.
    static const QString kSecretPhrase;

    // The page shown, 1 to 6.
    int CurrentStep() const { return CurrentStep_; }
    // The format whose option button is selected.
    OutputFormat SelectedFormat() const;
    // The colour the background swatch shows.
    Colour SwatchColour() const { return swatchColour_; }
    // The chosen picture's file, or null.
    const PictureFile* Picture() const { return PixelSurface_.get(); }

    // The preview's place and size within Frame2, in twips, as last set.
    float ThumbLeft() const { return thumbLeft_; }
    float ThumbTop() const { return thumbTop_; }
    float ThumbWidth() const { return thumbWidth_; }
    float ThumbHeight() const { return thumbHeight_; }
    float ThumbMaxWidth() const { return ThumbMaxWidth_; }
    float ThumbMaxHeight() const { return ThumbMaxHeight_; }

    // The progress bar's width in twips, as last set.
    float ProgressBarWidth() const { return progressBarWidth_; }
    // Whole seconds the clock has counted since the conversion started.
    std::int16_t ElapsedSeconds() const { return ElapsedSeconds_; }
    // The conversion running now or finished in this window, or null.
    const ConversionEngine* Engine() const { return engine_.get(); }

    // Page 1's picture as if chosen with "..." (an unreadable one reported
    // as "Invalid picture!"); the wizard must be on page 1.
    void ChoosePicture(const QString& path);

    // The conversion timer (1 ms) and the clock (1000 ms).
    TickSource& Timer1() { return *Timer1_; }
    TickSource& tmrTid() { return *tmrTid_; }
    // The timer (2 ms) that decodes a picture too large to decode at once
    // in slices: its preview on page 1, its samples on page 5. Enabled only
    // while such a decode runs.
    TickSource& DecodeTimer() { return *decodeTimer_; }

signals:
    // The user answered Yes to the exit question; the window is closing.
    void confirmedClose();
    // The restart button was clicked; the window is closing without asking
    // and a fresh wizard should open (it is asked for before this window
    // has gone, so the program never runs without a window in between).
    void restartRequested();
    // The hidden phrase was typed into txtEgg.
    void secretPhraseEntered();
    // The conversion has finished; the art text is in ArtBuffer.
    void conversionFinished();

protected:
    // Form_QueryUnload: every close, whatever its cause, comes here.
    void closeEvent(QCloseEvent* event) override;
    // Form_MouseMove: the mouse over the window's background.
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // The mouse-move handlers of the listed labels, frames and text boxes.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Return and Enter take Next, Escape Cancel.
    void keyPressEvent(QKeyEvent* event) override;
    // A picture file dropped on page 1 is chosen.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The layout (frmWizardLayout.cpp): the window and every control.
    void BuildWindow();
    void BuildFixedFrame();
    void BuildPage1();
    void BuildPage2();
    void BuildPage3();
    void BuildPage4();
    void BuildPage5();
    void BuildPage6();
    void WireHandlers();
    // Tab runs through each page from the top left to the bottom right,
    // after the restart picture and before Previous, Next and Cancel.
    void OrderTabStops();
    // The page's first control that takes the keyboard, else Next or Cancel.
    void FocusFirstControl();

    // Page flow.
    void Form_Load();
    void ClearPageArea();
    void cmdNext_Click();
    void cmdPre_Click();
    void cmdCancel_Click();
    void Picture5_Click();
    // The close check, whatever closes the window: accepts or ignores event.
    void Form_QueryUnload(QCloseEvent* event);
    // Makes `step` (1 to 6) the current step and shows its page.
    void GoToStep(int step);
    void ShowStep1();
    void ShowStep2();
    void ShowStep3();
    void ShowStep4();
    void ShowStep5();
    void ShowStep6();
    void SetNextEnabled(bool enabled);
    void SetPreviousEnabled(bool enabled);
    void StopTimers();

    // Page 1.
    void cmdBrowse_Click();
    enum class PictureLoading { Loaded, Refused, Checking };
    PictureLoading LoadChosenPicture(const QString& path);
    void TakePicture(std::shared_ptr<const PictureFile> picture, QImage preview);
    void RefusePicture();
    void PreviewDecoded(const SampledPictureResult& samples);
    void ShowThumbnail();
    void ShowPlaceholderThumbnail();
    void PlaceThumbnail();

    // Pages 2 and 3.
    void Label20_Click();
    void Label21_Click();
    void Label24_Click();
    void Label23_Click();
    void lblColor_Click();
    void SetSwatchColour(Colour colour);

    // Page 4.
    void AutoScale();
    void UpdateScaleNext();
    void Label19_Click();

    // Decoding in slices (pages 1 and 5).
    enum class Decoding { None, Preview, Samples };
    void StartDecoding(Decoding what, const PictureFile& picture, int stepX, int stepY);
    void StopDecoding();
    void DecodeTimer_Timer();

    // Page 5.
    void SamplesDecoded(const SampledPictureResult& samples);
    void StartEngine();
    void Timer1_Timer();
    void tmrTid_Timer();
    void ShowLineEnd();
    void ConversionOutOfMemory();
    void ConversionRefused(const SampledPictureResult& sampled);
    void FinishConversion();
    void SetProgressBarWidth(float twips);

    // Page 6.
    void cmdArt_Click();
    void cmdPrint_Click();
    void cmdCopy_Click();
    void cmdSave_Click();

    // Hover.
    void ResetHover();
    void cmdPre_MouseMove();
    void cmdNext_MouseMove();
    void cmdCancel_MouseMove();
    void cmdBrowse_MouseMove();
    void Form_MouseMove();

    // Hidden phrase.
    void Picture1_DblClick();
    void txtEgg_Change(const QString& text);

    Platform& platform_;
    ProgramState& state_;
    ArtViewer& viewer_;

    int CurrentStep_ = 1;
    bool RestartPending_ = false;
    float ThumbMaxWidth_ = 0;
    float ThumbMaxHeight_ = 0;
    float thumbLeft_ = 120;
    float thumbTop_ = 240;
    float thumbWidth_ = 1515;
    float thumbHeight_ = 1935;
    float progressBarWidth_ = 3975;
    std::int16_t ElapsedSeconds_ = 0;
    Colour swatchColour_ = 0x000000;
    // The colour the colour dialog reported last; a cancelled dialog
    // reports it again.
    Colour lastDialogColour_ = 0x000000;
    // The name the open-file dialog holds: a cancelled dialog gives it back.
    QString dialogFileName_;

    // Pic1 and PixelSurface in one: the chosen picture's bytes, read once,
    // so a file removed or replaced after the choice changes nothing. The
    // preview is a small decode of it; the conversion decodes only the
    // pixels it reads when it starts.
    std::shared_ptr<const PictureFile> PixelSurface_;
    QImage preview_;
    // The running or finished conversion holds the pixels it reads.
    std::shared_ptr<const SampledPicture> conversionPicture_;
    std::unique_ptr<ConversionEngine> engine_;
    // The inputs of the conversion whose samples are being decoded.
    std::unique_ptr<ConversionInputs> pendingInputs_;
    // A chosen picture whose preview is being decoded; it becomes the
    // chosen picture once the decode has checked it.
    std::shared_ptr<const PictureFile> checkedPicture_;
    Decoding decoding_ = Decoding::None;
    std::unique_ptr<SampledDecoder> decoder_;
    std::unique_ptr<TickSource> Timer1_;
    std::unique_ptr<TickSource> tmrTid_;
    std::unique_ptr<TickSource> decodeTimer_;

    QPixmap background_;

    // The fixed frame.
    QLabel* Label1;
    QLabel* lblSteg;
    QLabel* lblDesc;
    QLabel* Picture3;
    ClickArea* Picture5;
    QLabel* Picture4;
    QWidget* Line1;
    QWidget* Line2;
    QLabel* imgPrevious2;
    QLabel* imgNext2;
    QLabel* imgPrevious;
    QLabel* imgNext;
    QLabel* imgCancel;
    ClickArea* cmdPre;
    ClickArea* cmdNext;
    ClickArea* cmdCancel;
    QLabel* lblTip;
    QLabel* picTip;
    QLineEdit* txtEgg;

    // Page 1.
    WizardFrame* Frame1;
    QLabel* Label9;
    QLineEdit* txtImage;
    QLabel* imgBrowse;
    QLabel* imgBrowse2;
    ClickArea* cmdBrowse;
    QWidget* Line3;
    QWidget* Line4;
    QLabel* Label5;
    QLabel* Label2;
    QLabel* Label4;
    QLineEdit* txtWidth;
    QLabel* Label3;
    QLineEdit* txtHeight;
    WizardFrame* Frame2;
    ThumbnailBox* picThumbNail;

    // Page 2.
    WizardFrame* Frame3;
    QLabel* Label11;
    QRadioButton* optClnTxt;
    ClickArea* Label20;
    QRadioButton* optRtf;
    ClickArea* Label21;
    QLabel* Label12;
    QRadioButton* optHtmlTxt;
    ClickArea* Label24;
    QRadioButton* optHtmlCldTxt;
    ClickArea* Label23;
    QLabel* Label6;
    ClickArea* Picture1;
    QLabel* Label7;
    QLabel* Picture2;

    // Page 3.
    WizardFrame* Frame4;
    QLineEdit* txtBlack;
    QLineEdit* txtColor2;
    QLineEdit* txtColor3;
    QLineEdit* txtColor4;
    QLineEdit* txtColor5;
    QLineEdit* txtColor6;
    QLineEdit* txtColor7;
    QLineEdit* txtColor8;
    QLineEdit* txtWhite;
    WizardFrame* Frame5;
    QLabel* Label18;
    QComboBox* cbFace;
    QLabel* Label14;
    QLineEdit* txtSize;
    QLabel* Label10;
    WizardFrame* Frame6;
    ColourShape* ShpColor;
    ClickArea* lblColor;
    QLabel* Label16;
    WizardFrame* Frame7;
    QLabel* Label13;
    QLineEdit* txtWord;

    // Page 4.
    WizardFrame* Frame8;
    ClickArea* Label19;
    QLineEdit* txtScaleWidth;
    QLabel* Label17;
    QLineEdit* txtScaleHeight;

    // Page 5.
    WizardFrame* Frame9;
    QLabel* Label28;
    QLabel* lblDir;
    ColourShape* Shape18;
    QLabel* lblProgressBar;
    QLabel* Label22;
    QLabel* lblLine;
    QLabel* Label8;
    QLabel* lblTime;

    // Page 6.
    WizardFrame* Frame10;
    QLabel* Image1;
    ClickArea* cmdArt;
    ClickArea* cmdPrint;
    ClickArea* cmdCopy;
    ClickArea* cmdSave;
    QLabel* Label25;
};

} // namespace glimmora
