// The names documents are saved under: the dialog's filter, the extension
// of each format, the proposed name and the extension rule.

#include <algorithm>
#include <string>
#include <string_view>

#include "Documents.h"
#include "TextEncoding.h"

namespace glimmora {

std::string FilterFor(OutputFormat format) {
    std::string filter = "*";
    filter += ExtensionFor(format);
    return filter;
}

std::string ExtensionFor(OutputFormat format) {
    switch (format) {
    case OutputFormat::HtmlText:
    case OutputFormat::HtmlColoredText:
        return ".html";
    case OutputFormat::Rtf:
        return ".rtf";
    case OutputFormat::CleanText:
        break;
    }
    return ".txt";
}

std::string ProposedFileName(std::string_view imageFileTitle) {
    // Count characters, not bytes: every character starts with a byte that
    // is not a UTF-8 continuation byte. Walk back to the fourth start.
    std::string_view kept = imageFileTitle;
    int characters = 0;
    for (std::size_t i = imageFileTitle.size(); i > 0; --i) {
        if (!detail::IsContinuation(static_cast<unsigned char>(imageFileTitle[i - 1])) &&
            ++characters == 4) {
            kept = imageFileTitle.substr(0, i - 1);
            break;
        }
    }
    std::string name(kept);
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
}

std::string WithExtension(std::string_view chosenPath, std::string_view extension) {
    const auto lower = [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    const bool hasIt =
        chosenPath.size() >= extension.size() &&
        std::equal(extension.begin(), extension.end(), chosenPath.end() - extension.size(),
                   [&](char a, char b) { return lower(a) == lower(b); });
    std::string path(chosenPath);
    if (!hasIt) {
        path += extension;
    }
    return path;
}

} // namespace glimmora
