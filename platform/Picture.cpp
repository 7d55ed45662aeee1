#include "Picture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <future>
#include <limits>
#include <new>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "SampledDecoding.h"

namespace glimmora {

namespace {

// The picture size fields hold 16-bit numbers.
constexpr int kLargestSide = 32767;
constexpr double kMiB = 1024.0 * 1024.0;

QString MiB(double bytes) {
    return QString::number(static_cast<qulonglong>(bytes / kMiB + 0.999));
}

QString TooLargeMessage(int width, int height) {
    return QStringLiteral("The picture is %1 x %2 pixels; Glimmora takes at most "
                          "32767 pixels a side.")
        .arg(width)
        .arg(height);
}

// The system's reason, as it reads after a colon.
QString SystemReason(int error) {
    QString reason = QString::fromLocal8Bit(std::strerror(error));
    if (!reason.isEmpty()) {
        reason[0] = reason[0].toLower();
    }
    return reason;
}

// JPEG and PNG by their signatures. Asking Qt which reader takes the
// contents loads every image reader plugin with its libraries, which costs
// a short conversion more time and memory than its decode.
QByteArray SignatureFormat(const PictureFile& file) {
    char start[8] = {};
    const qint64 got = file.ReadAt(0, start, sizeof start);
    const QByteArray bytes(start, static_cast<qsizetype>(std::max<qint64>(got, 0)));
    if (bytes.startsWith(QByteArrayLiteral("\xFF\xD8\xFF"))) {
        return QByteArrayLiteral("jpeg");
    }
    if (bytes.startsWith(QByteArrayLiteral("\x89PNG\r\n\x1A\n"))) {
        return QByteArrayLiteral("png");
    }
    return {};
}

// A reader over the file's bytes, of the format the probe found.
class BytesReader {
public:
    explicit BytesReader(const PictureFile& file) : device_(file.Device()) {
        reader_.setDevice(device_.get());
        reader_.setFormat(file.Format());
        reader_.setAutoTransform(true); // EXIF orientation
    }
    QImageReader& operator*() { return reader_; }
    QImageReader* operator->() { return &reader_; }

private:
    std::unique_ptr<QIODevice> device_;
    QImageReader reader_;
};

// Transparent parts read as white: the picture composed over white, as
// RGB32. Null when memory runs out.
QImage ComposedOverWhite(const QImage& decoded) {
    if (!decoded.hasAlphaChannel()) {
        return decoded.convertToFormat(QImage::Format_RGB32);
    }
    QImage opaque(decoded.size(), QImage::Format_RGB32);
    if (opaque.isNull()) {
        return opaque;
    }
    opaque.fill(Qt::white);
    QPainter painter(&opaque);
    painter.drawImage(0, 0, decoded);
    return opaque;
}

Colour ColourOf(QRgb argb) {
    return static_cast<Colour>(qRed(argb) | (qGreen(argb) << 8) | (qBlue(argb) << 16));
}

// The whole decode, then the points of the lattice taken from it.
class WholeWork final : public SampledDecoder::Work {
public:
    WholeWork(const PictureFile& file, std::shared_ptr<SampledPicture> lattice, std::size_t budget)
        : file_(file), lattice_(std::move(lattice)), budget_(budget) {
        rows = lattice_->Rows();
    }

    bool Advance(DecodeClock::time_point deadline) override {
        if (!surface_) {
            // Qt's readers decode in one call, however long it takes: it
            // runs beside the caller, who waits for it a slice at a time.
            if (!whole_.valid()) {
                try {
                    whole_ = std::async(std::launch::async,
                                        [this] { return DecodeWhole(file_, budget_); });
                } catch (const std::system_error&) {
                    std::promise<PictureLoadResult> here;
                    here.set_value(DecodeWhole(file_, budget_));
                    whole_ = here.get_future();
                }
            }
            if (whole_.wait_until(deadline) != std::future_status::ready) {
                return false;
            }
            PictureLoadResult whole = whole_.get();
            if (!whole.picture) {
                result.error = whole.error;
                result.failure = whole.failure;
                return true;
            }
            if (whole.picture->Width() != lattice_->Width() ||
                whole.picture->Height() != lattice_->Height()) {
                result.error = UnreadableMessage(
                    file_, QStringLiteral("its size changes between its header and its data"));
                result.failure = PictureFailure::Unreadable;
                return true;
            }
            surface_ = std::move(whole.picture);
        }
        const QImage& image = surface_->Image();
        do {
            if (rowsDone == rows) {
                break;
            }
            const int y = rowsDone * lattice_->StepY();
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int i = 0; i < lattice_->Columns(); ++i) {
                lattice_->SetPoint(i, rowsDone, ColourOf(line[i * lattice_->StepX()]));
            }
            ++rowsDone;
        } while (DecodeClock::now() < deadline);
        if (rowsDone < rows) {
            return false;
        }
        surface_.reset();
        result.picture = std::move(lattice_);
        return true;
    }

private:
    const PictureFile& file_;
    std::shared_ptr<SampledPicture> lattice_;
    std::size_t budget_;
    // Waited for when the work is dropped: the decode reads file_.
    std::future<PictureLoadResult> whole_;
    std::shared_ptr<const PictureSurface> surface_;
};

class EndedWork final : public SampledDecoder::Work {
public:
    bool Advance(DecodeClock::time_point) override { return true; }
};

} // namespace

// --- Messages ---------------------------------------------------------------

QString UnreadableMessage(const PictureFile& file, const QString& reason) {
    return QStringLiteral("%1 cannot be read as a picture: %2.").arg(file.ShownName(), reason);
}

QString OutOfMemoryMessage(const PictureFile& file) {
    return QStringLiteral("There is not enough memory to decode %1.").arg(file.ShownName());
}

QString WholeOverBudgetMessage(const PictureFile& file, std::uint64_t bytes, std::size_t budget) {
    return QStringLiteral("%1 is %2 x %3 pixels; decoding it whole would take %4 MiB, more "
                          "than the %5 MiB a picture may take.")
        .arg(file.ShownName())
        .arg(file.Width())
        .arg(file.Height())
        .arg(MiB(static_cast<double>(bytes)), MiB(static_cast<double>(budget)));
}

std::unique_ptr<SampledDecoder::Work>
WholeWorkFor(const PictureFile& file, std::shared_ptr<SampledPicture> lattice, std::size_t budget) {
    return std::make_unique<WholeWork>(file, std::move(lattice), budget);
}

std::unique_ptr<SampledDecoder::Work> FailedWork(PictureFailure failure, QString error) {
    auto work = std::make_unique<EndedWork>();
    work->result.failure = failure;
    work->result.error = std::move(error);
    return work;
}

// --- PictureFile --------------------------------------------------------------

PictureFile::PictureFile(Private, QByteArray bytes, QString shownName)
    : bytes_(std::move(bytes)), shownName_(std::move(shownName)) {}

PictureFile::OpenFile::~OpenFile() {
#ifdef Q_OS_UNIX
    if (fd >= 0) {
        ::close(fd);
    }
#endif
}

qint64 PictureFile::Size() const {
    return file_ ? file_->size : bytes_.size();
}

qint64 PictureFile::ReadAt(qint64 offset, char* data, qint64 size) const {
    if (offset < 0 || size < 0) {
        return -1;
    }
    if (!file_) {
        const qint64 got = std::clamp<qint64>(bytes_.size() - offset, 0, size);
        std::memcpy(data, bytes_.constData() + offset, static_cast<std::size_t>(got));
        return got;
    }
#ifdef Q_OS_UNIX
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::pread(file_->fd, data + done, static_cast<std::size_t>(size - done),
                                    static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return done > 0 ? done : -1;
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    return done;
#else
    return -1;
#endif
}

namespace {

// The bytes of a streamed file as a device, read through PictureFile.
class StreamedDevice final : public QIODevice {
public:
    explicit StreamedDevice(const PictureFile& file) : file_(file) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return false; }
    qint64 size() const override { return file_.Size(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        return file_.ReadAt(pos(), data, maxSize);
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const PictureFile& file_;
};

} // namespace

std::unique_ptr<QIODevice> PictureFile::Device() const {
    if (file_) {
        return std::make_unique<StreamedDevice>(*this);
    }
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes_);
    buffer->open(QIODevice::ReadOnly);
    return buffer;
}

PictureFileResult PictureFile::Open(const std::string& systemPath, const QString& shownName) {
    return OpenFileNamed(systemPath, shownName, false);
}

PictureFileResult PictureFile::OpenStreamed(const std::string& systemPath,
                                            const QString& shownName) {
    return OpenFileNamed(systemPath, shownName, true);
}

PictureFileResult PictureFile::OpenFileNamed(const std::string& systemPath,
                                             const QString& shownName, bool streamed) {
    PictureFileResult result;
    result.failure = PictureFailure::Unreadable;
    if (systemPath.empty()) {
        result.error = QStringLiteral("No picture file was chosen.");
        return result;
    }
    const auto cannotRead = [&](int error) {
        result.error = QStringLiteral("%1 cannot be read: %2.").arg(shownName, SystemReason(error));
        return result;
    };
    const auto notRegular = [&](bool folder) {
        result.error = folder ? QStringLiteral("%1 is a folder, not a picture.").arg(shownName)
                              : QStringLiteral("%1 is not a regular file, so it is not read as "
                                               "a picture.")
                                    .arg(shownName);
        return result;
    };
    QByteArray bytes;
#ifdef Q_OS_UNIX
    // Looked at before it is opened: opening a FIFO or a device could wait
    // for a writer or do something to the device.
    struct stat status {};
    if (::stat(systemPath.c_str(), &status) != 0) {
        return cannotRead(errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return notRegular(S_ISDIR(status.st_mode));
    }
    const int fd = ::open(systemPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return cannotRead(errno);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    // Replaced by something else between the look and the opening.
    if (::fstat(fd, &status) != 0) {
        return cannotRead(errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return notRegular(S_ISDIR(status.st_mode));
    }
    if (streamed) {
        auto open = std::make_shared<OpenFile>();
        open->fd = ::dup(fd);
        open->size = static_cast<qint64>(status.st_size);
        if (open->fd < 0) {
            return cannotRead(errno);
        }
        auto file = std::make_shared<PictureFile>(Private{}, QByteArray(), shownName);
        file->file_ = std::move(open);
        return Probe(std::move(file));
    }
    if (static_cast<std::uint64_t>(status.st_size) > kPictureMemoryBudget) {
        result.failure = PictureFailure::OverBudget;
        result.error = QStringLiteral("%1 is %2 MiB long, more than the %3 MiB a picture may take.")
                           .arg(shownName, MiB(static_cast<double>(status.st_size)),
                                MiB(static_cast<double>(kPictureMemoryBudget)));
        return result;
    }
    try {
        // Read straight into the bytes; a file that grows while it is read
        // is read to its end all the same.
        qsizetype size = 0;
        bytes.resize(std::max<qsizetype>(static_cast<qsizetype>(status.st_size), 1) + 1);
        for (;;) {
            if (size == bytes.size()) {
                if (static_cast<std::uint64_t>(size) > kPictureMemoryBudget) {
                    result.failure = PictureFailure::OverBudget;
                    result.error =
                        QStringLiteral("%1 is longer than the %2 MiB a picture may take.")
                            .arg(shownName, MiB(static_cast<double>(kPictureMemoryBudget)));
                    return result;
                }
                bytes.resize(size * 2);
            }
            const ssize_t got =
                ::read(fd, bytes.data() + size, static_cast<std::size_t>(bytes.size() - size));
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return cannotRead(errno);
            }
            if (got == 0) {
                break;
            }
            size += got;
        }
        bytes.truncate(size);
    } catch (const std::bad_alloc&) {
        result.failure = PictureFailure::OutOfMemory;
        result.error = QStringLiteral("There is not enough memory to read %1.").arg(shownName);
        return result;
    }
#else
    const QString path = QFile::decodeName(QByteArray::fromStdString(systemPath));
    if (QFileInfo(path).isDir()) {
        return notRegular(true);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("%1 cannot be read: %2.").arg(shownName, file.errorString());
        return result;
    }
    bytes = file.readAll();
#endif
    return FromBytes(std::move(bytes), shownName);
}

PictureFileResult PictureFile::FromBytes(QByteArray bytes, const QString& shownName) {
    return Probe(std::make_shared<PictureFile>(Private{}, std::move(bytes), shownName));
}

PictureFileResult PictureFile::Probe(std::shared_ptr<PictureFile> file) {
    PictureFileResult result;
    // The format the contents say, whatever the name says; one that only
    // the name's extension tells (TGA has no signature) as Qt takes it from
    // a named file.
    file->format_ = SignatureFormat(*file);
    if (file->format_.isEmpty()) {
        const std::unique_ptr<QIODevice> contents = file->Device();
        file->format_ = QImageReader::imageFormat(contents.get());
    }
    if (file->format_.isEmpty()) {
        file->format_ = QFileInfo(file->shownName_).suffix().toLower().toLatin1();
    }
    // JPEG and PNG headers are read without Qt's readers, whose plugins
    // would be loaded for nothing when only the samples are decoded.
    if (file->format_ == "jpeg") {
        JpegHeader header;
        if (ReadJpegHeader(*file, &header) && header.width > 0 && header.height > 0) {
            file->transformation_ = header.transformation;
            const bool turned = header.transformation & QImageIOHandler::TransformationRotate90;
            return Sized(std::move(file), turned ? header.height : header.width,
                         turned ? header.width : header.height);
        }
    } else if (file->format_ == "png") {
        // Qt's PNG reader reads no orientation.
        uchar start[24] = {};
        if (file->ReadAt(0, reinterpret_cast<char*>(start), sizeof start) == sizeof start &&
            std::memcmp(start + 12, "IHDR", 4) == 0) {
            const quint32 width = qFromBigEndian<quint32>(start + 16);
            const quint32 height = qFromBigEndian<quint32>(start + 20);
            if (width > 0 && height > 0 && width <= 0x7FFFFFFFu && height <= 0x7FFFFFFFu) {
                return Sized(std::move(file), static_cast<int>(width), static_cast<int>(height));
            }
        }
    }
    BytesReader reader(*file);
    if (!reader->canRead()) {
        result.failure = PictureFailure::Unreadable;
        result.error = UnreadableMessage(*file, reader->errorString());
        return result;
    }
    file->transformation_ = static_cast<int>(reader->transformation());
    QSize size = reader->size();
    if (size.isValid() && (file->transformation_ & QImageIOHandler::TransformationRotate90)) {
        size.transpose();
    }
    if (!size.isValid()) {
        // The header does not tell: the size is the decoded picture's.
        QImageReader::setAllocationLimit(static_cast<int>(kPictureMemoryBudget / (1024 * 1024)));
        QImage decoded;
        try {
            // Some readers (ICNS) allocate what a length in the file claims.
            decoded = reader->read();
        } catch (const std::bad_alloc&) {
            result.failure = PictureFailure::OutOfMemory;
            result.error = OutOfMemoryMessage(*file);
            return result;
        }
        if (decoded.isNull()) {
            result.failure = PictureFailure::Unreadable;
            result.error = UnreadableMessage(*file, reader->errorString());
            return result;
        }
        size = decoded.size();
    }
    return Sized(std::move(file), size.width(), size.height());
}

PictureFileResult PictureFile::Sized(std::shared_ptr<PictureFile> file, int width, int height) {
    PictureFileResult result;
    if (width > kLargestSide || height > kLargestSide) {
        result.failure = PictureFailure::TooLarge;
        result.error = TooLargeMessage(width, height);
        return result;
    }
    if (width <= 0 || height <= 0) {
        result.failure = PictureFailure::Unreadable;
        result.error = UnreadableMessage(*file, QStringLiteral("it has no pixels"));
        return result;
    }
    file->width_ = width;
    file->height_ = height;
    result.file = std::move(file);
    return result;
}

// --- SampledPicture ---------------------------------------------------------

SampledPicture::SampledPicture(int width, int height, int stepX, int stepY)
    : width_(width), height_(height), stepX_(stepX), stepY_(stepY),
      columns_((width + stepX - 1) / stepX), rows_((height + stepY - 1) / stepY),
      rgb_(std::make_unique_for_overwrite<std::uint8_t[]>(BytesFor(width, height, stepX, stepY))) {}

std::uint64_t SampledPicture::BytesFor(int width, int height, int stepX, int stepY) {
    const std::uint64_t columns = (static_cast<std::uint64_t>(width) + stepX - 1) / stepX;
    const std::uint64_t rows = (static_cast<std::uint64_t>(height) + stepY - 1) / stepY;
    return columns * rows * 3;
}

Colour SampledPicture::GetPixel(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || x % stepX_ != 0 || y % stepY_ != 0) {
        return kInvalidColour;
    }
    const std::size_t at =
        (static_cast<std::size_t>(y / stepY_) * static_cast<std::size_t>(columns_) +
         static_cast<std::size_t>(x / stepX_)) *
        3;
    return static_cast<Colour>(rgb_[at] | (rgb_[at + 1] << 8) | (rgb_[at + 2] << 16));
}

void SampledPicture::SetPoint(int column, int row, Colour colour) {
    const std::size_t at = (static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                            static_cast<std::size_t>(column)) *
                           3;
    rgb_[at] = static_cast<std::uint8_t>(colour & 0xFF);
    rgb_[at + 1] = static_cast<std::uint8_t>((colour >> 8) & 0xFF);
    rgb_[at + 2] = static_cast<std::uint8_t>((colour >> 16) & 0xFF);
}

// --- Sampled decoding -------------------------------------------------------

SampledDecoder::SampledDecoder(const PictureFile& file, int stepX, int stepY, std::size_t budget) {
    if (stepX < 1 || stepY < 1) {
        work_ = FailedWork(PictureFailure::Unreadable,
                           QStringLiteral("The steps %1 x %2 are not whole numbers of at least 1.")
                               .arg(stepX)
                               .arg(stepY));
        return;
    }
    const std::uint64_t bytes = SampledPicture::BytesFor(file.Width(), file.Height(), stepX, stepY);
    if (bytes > budget) {
        work_ = FailedWork(
            PictureFailure::OverBudget,
            QStringLiteral("%1 is %2 x %3 pixels; at steps of %4 x %5 its samples would take "
                           "%6 MiB, more than the %7 MiB a picture may take.")
                .arg(file.ShownName())
                .arg(file.Width())
                .arg(file.Height())
                .arg(stepX)
                .arg(stepY)
                .arg(MiB(static_cast<double>(bytes)), MiB(static_cast<double>(budget))));
        return;
    }
    try {
        auto lattice = std::make_shared<SampledPicture>(file.Width(), file.Height(), stepX, stepY);
        if (file.Format() == "jpeg") {
            work_ = JpegWork(file, lattice, budget);
        } else if (file.Format() == "png") {
            work_ = PngWork(file, lattice, budget);
        }
        if (!work_) {
            work_ = std::make_unique<WholeWork>(file, std::move(lattice), budget);
        }
    } catch (const std::bad_alloc&) {
        work_ = FailedWork(PictureFailure::OutOfMemory, OutOfMemoryMessage(file));
    }
}

SampledDecoder::~SampledDecoder() = default;

bool SampledDecoder::Advance(std::chrono::milliseconds slice) {
    if (work_->result.failure != PictureFailure::None || work_->result.picture) {
        return true;
    }
    try {
        return work_->Advance(DecodeClock::now() + slice);
    } catch (const std::bad_alloc&) {
        work_->result = SampledPictureResult{};
        work_->result.failure = PictureFailure::OutOfMemory;
        work_->result.error = QStringLiteral("There is not enough memory to decode the picture.");
        return true;
    }
}

int SampledDecoder::RowsDone() const {
    return work_->rowsDone;
}

int SampledDecoder::Rows() const {
    return work_->rows;
}

SampledPictureResult SampledDecoder::Result() const {
    return work_->result;
}

SampledPictureResult DecodeSampled(const PictureFile& file, int stepX, int stepY,
                                   std::size_t budget) {
    SampledDecoder decoder(file, stepX, stepY, budget);
    while (!decoder.Advance(std::chrono::hours(1))) {
    }
    return decoder.Result();
}

// --- Preview ----------------------------------------------------------------

QImage PreviewImage(const PictureFile& file, QSize fitIn) {
    BytesReader reader(file);
    QSize upright(file.Width(), file.Height());
    if (upright.width() > fitIn.width() || upright.height() > fitIn.height()) {
        upright = upright.scaled(fitIn, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        // The reader is asked for the size of the stored pixels, before
        // they are turned upright.
        QSize stored = upright;
        if (file.Transformation() & QImageIOHandler::TransformationRotate90) {
            stored.transpose();
        }
        reader->setScaledSize(stored);
    }
    QImage decoded = reader->read();
    if (decoded.isNull()) {
        return decoded;
    }
    decoded.setDevicePixelRatio(1.0);
    return ComposedOverWhite(decoded);
}

QSize PreviewSteps(const PictureFile& file, QSize fitIn) {
    const auto step = [](int side, int fit) { return std::max(1, side / std::max(1, 2 * fit)); };
    return {step(file.Width(), fitIn.width()), step(file.Height(), fitIn.height())};
}

QImage PreviewFromSamples(const SampledPicture& samples, QSize fitIn) {
    QImage points(samples.Columns(), samples.Rows(), QImage::Format_RGB32);
    if (points.isNull()) {
        return points;
    }
    for (int j = 0; j < samples.Rows(); ++j) {
        auto* line = reinterpret_cast<QRgb*>(points.scanLine(j));
        for (int i = 0; i < samples.Columns(); ++i) {
            const Colour colour = samples.GetPixel(i * samples.StepX(), j * samples.StepY());
            line[i] = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
        }
    }
    const QSize size =
        QSize(samples.Width(), samples.Height())
            .scaled(fitIn.boundedTo(QSize(samples.Width(), samples.Height())), Qt::KeepAspectRatio)
            .expandedTo(QSize(1, 1));
    return points.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// --- The whole decode -------------------------------------------------------

PictureSurface::PictureSurface(QImage image) : image_(std::move(image)) {}

Colour PictureSurface::GetPixel(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) {
        return kInvalidColour;
    }
    return ColourOf(reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x]);
}

PictureLoadResult LoadPictureFile(const QString& path) {
    PictureLoadResult result;
    if (path.isEmpty()) {
        result.failure = PictureFailure::Unreadable;
        result.error = QStringLiteral("No picture file was chosen.");
        return result;
    }
    const PictureFileResult opened = PictureFile::Open(QFile::encodeName(path).toStdString(), path);
    if (!opened.file) {
        result.failure = opened.failure;
        result.error = opened.error;
        return result;
    }
    return DecodeWhole(*opened.file);
}

PictureLoadResult DecodeWhole(const PictureFile& file, std::size_t budget) {
    PictureLoadResult result;
    BytesReader reader(file);
    // What the decoded picture takes, and the composed copy beside it.
    const QImage::Format format = reader->imageFormat();
    const int depth = format == QImage::Format_Invalid
                          ? 64
                          : static_cast<int>(QImage::toPixelFormat(format).bitsPerPixel());
    const std::uint64_t pixels =
        static_cast<std::uint64_t>(file.Width()) * static_cast<std::uint64_t>(file.Height());
    const std::uint64_t decodedBytes = pixels * static_cast<std::uint64_t>(depth) / 8;
    const std::uint64_t bytes = decodedBytes + pixels * 4;
    if (bytes > budget) {
        result.failure = PictureFailure::OverBudget;
        result.error = WholeOverBudgetMessage(file, bytes, budget);
        return result;
    }
    QImageReader::setAllocationLimit(static_cast<int>(
        std::min<std::uint64_t>(budget / (1024 * 1024) + 1, std::numeric_limits<int>::max())));
    // A damaged picture may end before its last row, and some readers (BMP)
    // then leave the rows they never reached as the memory held them: the
    // art would show leftovers of memory, different at every run. Read into
    // a white picture of the stored size and the reader's format, which the
    // reader fills in place, so that such rows are white. (A top-down BMP
    // tells the reader a negative height; the file's size holds.)
    QImage decoded;
    try {
        QSize stored(file.Width(), file.Height());
        if (file.Transformation() & QImageIOHandler::TransformationRotate90) {
            stored.transpose();
        }
        if (format != QImage::Format_Invalid) {
            decoded = QImage(stored, format);
            decoded.fill(Qt::white);
        }
        if (!reader->read(&decoded)) { // the first frame of an animation
            decoded = QImage();
        }
    } catch (const std::bad_alloc&) {
        result.failure = PictureFailure::OutOfMemory;
        result.error = OutOfMemoryMessage(file);
        return result;
    }
    // Qt takes a name ending in @2x for a high-density picture and would
    // draw it at half size when composing it over white; every pixel of the
    // file is one pixel of the conversion.
    decoded.setDevicePixelRatio(1.0);
    if (decoded.isNull()) {
        result.failure = PictureFailure::Unreadable;
        result.error = UnreadableMessage(file, reader->errorString());
        return result;
    }
    if (decoded.width() > kLargestSide || decoded.height() > kLargestSide) {
        result.failure = PictureFailure::TooLarge;
        result.error = TooLargeMessage(decoded.width(), decoded.height());
        return result;
    }
    QImage opaque = ComposedOverWhite(decoded);
    if (opaque.isNull()) {
        result.failure = PictureFailure::OutOfMemory;
        result.error = OutOfMemoryMessage(file);
        return result;
    }
    result.picture = std::make_shared<const PictureSurface>(std::move(opaque));
    return result;
}

} // namespace glimmora
