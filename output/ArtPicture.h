#pragma once

// The art as a picture: art text drawn as a reader sees it, a band of rows at
// a time, so that a picture of any size is drawn in memory that does not grow
// with it. Used for PNG pictures (WriteArtPng) and by anyone who wants the
// art as an image (ArtImage) or as rows (ArtPicture::Draw).
//
// Three kinds of art text are read:
// - sign art (clean text, RTF, standard HTML): lines ended by CR, LF or
//   CR LF, every sign in the look's ink;
// - coloured letters (coloured HTML): cells <font color="#RRGGBB">L</font>,
//   each letter in its cell's colour (the engine's entities &amp; &lt; &gt;
//   read back as the letter), lines ended by CR;
// - terminal text: UTF-8 with SGR sequences for the signs' colour and the
//   cells' background (16, 256 and 24-bit colours, reverse video, reset),
//   lines ended by LF; every character takes one cell of a grid.
// Lines are set in one of three ways:
// - Viewer: the face's own line spacing, as the viewer and a word processor
//   show clean text and RTF;
// - Browser: lines as far apart as the font size, the glyphs centred on
//   them, as a browser shows the HTML documents (line-height equal to the
//   font size);
// - Terminal: a grid of whole-pixel cells as wide as the face's advance and
//   as tall as its height; each cell's background fills it whole, and block
//   and braille signs are drawn by the face.
// Glyphs are placed by their own advances, without kerning (as the viewer
// places them), at quarter-pixel positions. A glyph's fully covered pixels
// carry its colour byte for byte; its edges blend with what lies under them.
// Sizes are points at 96 dots per inch.
//
// Drawing needs a QGuiApplication (fonts come from the platform).

#include <QImage>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/CellArt.h"
#include "core/Format.h"
#include "output/Documents.h"

namespace glimmora {

// 0xRRGGBB.
using Rgb = std::uint32_t;

enum class ArtKind { Signs, ColouredLetters, TerminalText };
enum class LineSetting { Viewer, Browser, Terminal };

struct PictureLook {
    ArtKind kind = ArtKind::Signs;
    LineSetting setting = LineSetting::Viewer;
    std::string face = "Arial"; // a font family, UTF-8
    double points = 8.0;
    Rgb background = 0xFFFFFF;
    Rgb ink = 0x000000; // signs, and terminal text without a colour of its own
};

// The smallest and largest font sizes a picture is drawn in, in points.
inline constexpr double kSmallestPicturePoints = 1.0;
inline constexpr double kLargestPicturePoints = 1000.0;

// A font size text read as points ("8", " 7.5 "). Nothing when it is not a
// number from kSmallestPicturePoints to kLargestPicturePoints, and why in
// one sentence.
std::optional<double> ReadPicturePoints(const std::string& sizeText, std::string& why);

// The look of a document's art: its face and size; black signs on white for
// clean text and RTF (as the viewer and a word processor show them), on the
// background colour for HTML; coloured HTML's letters in their own colours.
// Nothing when the size text is not a size (ReadPicturePoints).
std::optional<PictureLook> DocumentPictureLook(OutputFormat format, const DocumentStyle& style,
                                               std::string& why);

// The look of terminal text: DejaVu Sans Mono in a grid of cells, signs
// without a colour of their own in white on black, or in black on a light
// background.
inline constexpr double kTerminalPoints = 10.0;
PictureLook TerminalPictureLook(double points = kTerminalPoints, Rgb background = 0x000000);

// 0xRRGGBB of a colour packed 0x00BBGGRR.
Rgb RgbOfColour(Colour colour);

// 0xRRGGBB of six hex digits ("FF0000" is red); black for anything else.
Rgb RgbOfCode(std::string_view code);

struct PictureSize {
    std::int64_t width = 1;
    std::int64_t height = 1;
};

// Most PNG readers refuse a wider or taller picture.
inline constexpr std::int64_t kLargestPictureSide = 1000000;

// Nothing when a picture of this size may be made; otherwise one sentence
// that says which side is too large and by how much.
std::optional<std::string> PictureSizeRefusal(PictureSize size);

// Hands the whole art text to the sink given, in pieces of any size; it is
// called once to measure the art and once to draw it, and must give the same
// text both times.
using ArtReplay = std::function<void(const ByteSink& art)>;
// Receives the picture's rows top to bottom, each its width in RGB triples;
// a row lives only for the call.
using RowSink = std::function<void(const std::uint8_t* rgb)>;

class ArtPicture {
public:
    explicit ArtPicture(const PictureLook& look);
    ~ArtPicture();
    ArtPicture(const ArtPicture&) = delete;
    ArtPicture& operator=(const ArtPicture&) = delete;

    // The picture's size: the widest line by the top and bottom of all lines
    // (at least 1 × 1).
    PictureSize Measure(const ArtReplay& art);
    // The same for cell art: the grid's cells in a terminal's grid, read
    // from the grid itself (each sign in its foreground over its
    // background, exactly); the look's setting should be Terminal.
    PictureSize Measure(const CellGrid& grid);
    // The size Measure found last.
    PictureSize Size() const;
    // Draws the art measured last, every row to rows; no more than a band of
    // a few megabytes is held. Throws std::bad_alloc when memory runs out.
    void Draw(const ArtReplay& art, const RowSink& rows);
    void Draw(const CellGrid& grid, const RowSink& rows);

    struct State;

private:
    std::unique_ptr<State> state_;
};

// The picture of art small enough to hold, e.g. one frame.
QImage ArtImage(const PictureLook& look, std::string_view artText);

// Draws art measured by picture (the same replay) into a PNG written to out
// as its rows are made, calling eachRow, when given, after each row.
void WriteMeasuredPng(ArtPicture& picture, const ArtReplay& art, const ByteSink& out,
                      const std::function<void()>& eachRow = {});
void WriteMeasuredPng(ArtPicture& picture, const CellGrid& grid, const ByteSink& out,
                      const std::function<void()>& eachRow = {});

// The look of cell art: TerminalPictureLook on the grid's terminal
// background, signs without a colour in its terminal foreground.
PictureLook CellArtLook(const CellGrid& grid, double points = kTerminalPoints);
// The picture of a cell grid small enough to hold.
QImage CellArtImage(const CellGrid& grid, double points = kTerminalPoints);

// Measures the art, then draws it into a PNG (8-bit RGB) written to out as
// its rows are made. Nothing is written when the picture would be too large:
// the refusal is returned instead.
std::optional<std::string> WriteArtPng(const PictureLook& look, const ArtReplay& art,
                                       const ByteSink& out);

} // namespace glimmora
