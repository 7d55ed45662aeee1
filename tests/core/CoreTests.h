#pragma once

#include <QObject>

// Tests of the conversion core: colours, numbers, the engine, the scale
// proposal and the progress figures.
class CoreTests : public QObject {
    Q_OBJECT

private slots:
    // Colours
    void grayScale_data();
    void grayScale();
    void grayScaleOfGreys_data();
    void grayScaleOfGreys();
    void colorToHex_data();
    void colorToHex();
    void rampIndexForGrey_data();
    void rampIndexForGrey();

    // Numbers
    void readWholeNumber_data();
    void readWholeNumber();
    void readDecimal_data();
    void readDecimal();
    void isUsableStep_data();
    void isUsableStep();
    void formatDecimal_data();
    void formatDecimal();

    // Engine
    void onePixelPicture();
    void halfDarkPicture();
    void sampledColumnsAndRows_data();
    void sampledColumnsAndRows();
    void lastLineOvershootsHeight();
    void widthZeroGivesOneCellLines();
    void heightZeroGivesOneLine();
    void emptyRampBoxVanishes();
    void longRampTexts();
    void bandOfPixel_data();
    void bandOfPixel();
    void wordRunsOnAcrossLines();
    void oneLetterWord();
    void emptyWordCarriesNoLetter();
    void multiByteLetters();
    void markupLettersAreEntities();
    void brokenUtf8ByteIsALetter();
    void fiveLinePicture();
    void nullPictureReadsInvalid();
    void pixelsBeyondPictureReadInvalid();
    void scaleTextsReadAsWholeNumbers();
    void currentLineKeepsValueOnOverflow();
    void stepAfterFinishChangesNothing();
    void scaleBelowOneNeverFinishes();
    void artTextSoFarHoldsEveryCell();
    void largePictureMatchesPlainConversion_data();
    void largePictureMatchesPlainConversion();
    void takeArtTextLeavesEngineEmpty();
    void expectedSize_data();
    void expectedSize();

    // Scale proposal
    void autoScale_data();
    void autoScale();

    // Progress
    void lineCounterText();
    void progressBarWidth_data();
    void progressBarWidth();
    void timeLeft_data();
    void timeLeft();
    void timeLeftText_data();
    void timeLeftText();
    void elapsedSecondsStopsAtMaximum();
};
