#include "Printing.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QStringList>

#include <algorithm>

namespace glimmora {

namespace {

// The printed lines of text: a lone CR, an LF or CR LF ends a line. A line
// end at the very end closes the last line and starts no empty one.
QStringList PrintedLines(const QString& text) {
    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(line);
            line.clear();
            if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                text.at(i + 1) == QLatin1Char('\n')) {
                ++i;
            }
        } else {
            line.append(c);
        }
    }
    if (!line.isEmpty()) {
        lines.append(line);
    }
    return lines;
}

} // namespace

bool PrintTextOn(QPrinter& printer, const QString& text) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    // No font is chosen: the painter starts with the printer's default.
    const QFontMetrics metrics = painter.fontMetrics();
    const int lineHeight = std::max(1, metrics.lineSpacing());
    // The painter's origin is the top left corner of the printable area.
    const int pageHeight = printer.height();

    int top = 0;
    bool lineOnPage = false;
    for (const QString& line : PrintedLines(text)) {
        if (lineOnPage && top + lineHeight > pageHeight) {
            if (!printer.newPage()) {
                painter.end();
                return false;
            }
            top = 0;
            lineOnPage = false;
        }
        painter.drawText(QPoint(0, top + metrics.ascent()), line);
        top += lineHeight;
        lineOnPage = true;
    }
    return painter.end();
}

} // namespace glimmora
