// glimmora-picture-types: prints the MIME types of every picture format the
// installed Qt image readers take, separated by ";" and ending in ";", as
// the MimeType key of a desktop entry wants them. The build runs it to
// write the launcher, so the launcher offers what the program reads.
#include <QCoreApplication>
#include <QImageReader>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QByteArray list;
    for (const QByteArray& type : QImageReader::supportedMimeTypes()) {
        list += type + ';';
    }
    std::fputs(list.constData(), stdout);
    return list.isEmpty() ? 1 : 0;
}
