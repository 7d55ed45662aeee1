#include "ScreenReaderNames.h"

#include <QLabel>
#include <QWidget>

namespace glimmora {

void NameForScreenReaders(QWidget& wizard) {
    // Control, then the caption a sighted user reads for it (without the
    // colon that ends a label).
    static const struct {
        const char* control;
        const char* name;
        const char* caption; // the label that shows the name, if any
    } kNames[] = {
        {"cmdPre", "< Previous", nullptr},
        {"cmdNext", "Next >", nullptr},
        {"cmdCancel", "Cancel", nullptr},
        {"Picture5", "Restart", nullptr},
        {"cmdBrowse", "Browse", nullptr},
        {"txtImage", "Image to transform", "Label9"},
        {"txtWidth", "Width", "Label2"},
        {"txtHeight", "Height", "Label4"},
        {"optClnTxt", "Clean text", "Label20"},
        {"optRtf", "RTF", "Label21"},
        {"optHtmlTxt", "HTML text", "Label24"},
        {"optHtmlCldTxt", "HTML colored text", "Label23"},
        {"txtBlack", "ASCII sign 1, black", nullptr},
        {"txtColor2", "ASCII sign 2", nullptr},
        {"txtColor3", "ASCII sign 3", nullptr},
        {"txtColor4", "ASCII sign 4", nullptr},
        {"txtColor5", "ASCII sign 5", nullptr},
        {"txtColor6", "ASCII sign 6", nullptr},
        {"txtColor7", "ASCII sign 7", nullptr},
        {"txtColor8", "ASCII sign 8", nullptr},
        {"txtWhite", "ASCII sign 9, white", nullptr},
        {"cbFace", "Font face", "Label18"},
        {"txtSize", "Size", "Label14"},
        {"lblColor", "Background color", nullptr},
        {"txtWord", "Type your word here", "Label13"},
        {"txtScaleWidth", "Width", "Label19"},
        {"txtScaleHeight", "Height", "Label17"},
        {"cmdArt", "Show art", nullptr},
        {"cmdPrint", "Print", nullptr},
        {"cmdCopy", "Copy", nullptr},
        {"cmdSave", "Save", nullptr},
    };
    for (const auto& row : kNames) {
        auto* widget = wizard.findChild<QWidget*>(QString::fromLatin1(row.control));
        if (widget == nullptr) {
            continue;
        }
        widget->setAccessibleName(QString::fromLatin1(row.name));
        // Linux screen readers name a face list by the label it is
        // labelled by, not by its own name: the caption tells them.
        if (row.caption != nullptr) {
            if (auto* label = wizard.findChild<QLabel*>(QString::fromLatin1(row.caption))) {
                label->setBuddy(widget);
            }
        }
    }
}

} // namespace glimmora
