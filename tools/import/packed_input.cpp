#include "tools/import/packed_input.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <streambuf>
#include <system_error>
#include <vector>
#include <zlib.h>
// Windows builds have neither library among their cross packages; such a
// build names xz or zip input as one it cannot unpack.
#ifdef VUREZER_HAVE_XZ
#include <lzma.h>
#endif
#ifdef VUREZER_HAVE_ZIP
#include <zip.h>
#endif

namespace vz {

namespace {

constexpr std::size_t CHUNK = std::size_t{1} << 16;

const char* const TOO_LARGE = "unpacks to more than 1 GiB; not a bar file";
const char* const FILE_TOO_LARGE = "is larger than 1 GiB; not a bar file";
const char* const UNREADABLE = "could not be read";

// Where the packed bytes come from: a file or a text in memory.
class RawSource {
public:
    virtual ~RawSource() = default;
    // Up to `size` bytes into `into`; 0 at the end. False on a read error.
    virtual bool read(char* into, std::size_t size, std::size_t& got) = 0;
};

class FileSource : public RawSource {
public:
    explicit FileSource(const std::filesystem::path& path) : in_(path, std::ios::binary) {}
    bool opened() const { return static_cast<bool>(in_); }
    bool read(char* into, std::size_t size, std::size_t& got) override {
        in_.read(into, static_cast<std::streamsize>(size));
        got = static_cast<std::size_t>(in_.gcount());
        return !in_.bad();
    }

private:
    std::ifstream in_;
};

class MemorySource : public RawSource {
public:
    explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
    bool read(char* into, std::size_t size, std::size_t& got) override {
        got = std::min(size, bytes_.size() - position_);
        std::copy_n(bytes_.data() + position_, got, into);
        position_ += got;
        return true;
    }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
    std::size_t position_ = 0;
};

// Turns packed bytes into text, one piece per call.
class Decoder {
public:
    virtual ~Decoder() = default;
    // Up to `size` bytes of text into `out`; `produced` 0 means the end.
    // Returns what is wrong when the data is damaged.
    virtual std::optional<std::string> next(char* out, std::size_t size, std::size_t& produced) = 0;
};

// The packed bytes waiting to be decoded, refilled from the source.
class InputWindow {
public:
    InputWindow(RawSource& source, std::string first) : source_(source), bytes_(std::move(first)) {
        ended_ = bytes_.empty();
    }
    // False on a read error.
    bool refill() {
        bytes_.resize(CHUNK);
        std::size_t got = 0;
        const bool ok = source_.read(bytes_.data(), bytes_.size(), got);
        bytes_.resize(got);
        ended_ = got == 0;
        return ok;
    }
    std::string& bytes() { return bytes_; }
    bool ended() const { return ended_; }

private:
    RawSource& source_;
    std::string bytes_;
    bool ended_ = false;
};

class PlainDecoder : public Decoder {
public:
    PlainDecoder(RawSource& source, std::string first)
        : source_(source), first_(std::move(first)) {}
    std::optional<std::string> next(char* out, std::size_t size, std::size_t& produced) override {
        if (!first_.empty()) {
            produced = std::min(size, first_.size());
            std::copy_n(first_.data(), produced, out);
            first_.erase(0, produced);
            return std::nullopt;
        }
        if (!source_.read(out, size, produced)) {
            return UNREADABLE;
        }
        return std::nullopt;
    }

private:
    RawSource& source_;
    std::string first_;
};

// Stands in for a decoder this build lacks: the first read says so.
class MissingDecoder : public Decoder {
public:
    explicit MissingDecoder(std::string problem) : problem_(std::move(problem)) {}
    std::optional<std::string> next(char*, std::size_t, std::size_t&) override { return problem_; }

private:
    std::string problem_;
};

#ifdef VUREZER_HAVE_XZ
class XzDecoder : public Decoder {
public:
    XzDecoder(RawSource& source, std::string first) : window_(source, std::move(first)) {
        started_ = lzma_stream_decoder(&stream_, UINT64_MAX, LZMA_CONCATENATED) == LZMA_OK;
        stream_.next_in = reinterpret_cast<const std::uint8_t*>(window_.bytes().data());
        stream_.avail_in = window_.bytes().size();
    }
    ~XzDecoder() override { lzma_end(&stream_); }
    XzDecoder(const XzDecoder&) = delete;
    XzDecoder& operator=(const XzDecoder&) = delete;

    std::optional<std::string> next(char* out, std::size_t size, std::size_t& produced) override {
        if (!started_) {
            return "could not start the xz decoder";
        }
        stream_.next_out = reinterpret_cast<std::uint8_t*>(out);
        stream_.avail_out = size;
        while (!finished_ && stream_.avail_out == size) {
            if (stream_.avail_in == 0 && !window_.ended()) {
                if (!window_.refill()) {
                    return UNREADABLE;
                }
                stream_.next_in = reinterpret_cast<const std::uint8_t*>(window_.bytes().data());
                stream_.avail_in = window_.bytes().size();
            }
            const lzma_action action =
                window_.ended() && stream_.avail_in == 0 ? LZMA_FINISH : LZMA_RUN;
            const lzma_ret status = lzma_code(&stream_, action);
            if (status == LZMA_STREAM_END) {
                finished_ = true;
            } else if (status != LZMA_OK) {
                return problemOf(status);
            }
        }
        produced = size - stream_.avail_out;
        return std::nullopt;
    }

private:
    static std::string problemOf(lzma_ret status) {
        switch (status) {
        case LZMA_BUF_ERROR:
            return "xz data cut short (the file is truncated)";
        case LZMA_MEM_ERROR:
            return "out of memory while unpacking xz data";
        default:
            return "corrupt xz data";
        }
    }

    InputWindow window_;
    lzma_stream stream_ = LZMA_STREAM_INIT;
    bool started_ = false;
    bool finished_ = false;
};

#endif

class GzipDecoder : public Decoder {
public:
    GzipDecoder(RawSource& source, std::string first) : window_(source, std::move(first)) {
        // 16 + window bits: gzip wrapper only.
        started_ = inflateInit2(&stream_, 16 + MAX_WBITS) == Z_OK;
        pointAtWindow();
    }
    ~GzipDecoder() override { inflateEnd(&stream_); }
    GzipDecoder(const GzipDecoder&) = delete;
    GzipDecoder& operator=(const GzipDecoder&) = delete;

    std::optional<std::string> next(char* out, std::size_t size, std::size_t& produced) override {
        if (!started_) {
            return "could not start the gzip decoder";
        }
        stream_.next_out = reinterpret_cast<Bytef*>(out);
        stream_.avail_out = static_cast<uInt>(size);
        while (stream_.avail_out == size) {
            if (stream_.avail_in == 0 && !window_.ended()) {
                if (!window_.refill()) {
                    return UNREADABLE;
                }
                pointAtWindow();
            }
            if (stream_.avail_in == 0) {
                if (atMemberEnd_) {
                    break;
                }
                return "gzip data cut short (the file is truncated)";
            }
            // Several gzip members in a row unpack to their texts joined.
            if (atMemberEnd_ && inflateReset(&stream_) != Z_OK) {
                return "corrupt gzip data";
            }
            atMemberEnd_ = false;
            const int status = inflate(&stream_, Z_NO_FLUSH);
            if (status == Z_STREAM_END) {
                atMemberEnd_ = true;
            } else if (status != Z_OK && status != Z_BUF_ERROR) {
                return "corrupt gzip data";
            }
        }
        produced = size - stream_.avail_out;
        return std::nullopt;
    }

private:
    void pointAtWindow() {
        stream_.next_in = reinterpret_cast<Bytef*>(window_.bytes().data());
        stream_.avail_in = static_cast<uInt>(window_.bytes().size());
    }

    InputWindow window_;
    z_stream stream_{};
    bool started_ = false;
    bool atMemberEnd_ = false;
};

#ifdef VUREZER_HAVE_ZIP
std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Downloads put a status report or a licence beside the bars; those and
// folder entries are not bar files.
bool mayHoldBars(const std::string& name) {
    const std::string lower = lowerCase(name);
    const auto endsWith = [&](std::string_view end) {
        return lower.size() >= end.size() &&
               lower.compare(lower.size() - end.size(), end.size(), end.data(), end.size()) == 0;
    };
    return !lower.empty() && !endsWith("/") && !endsWith(".txt") && !endsWith(".pdf") &&
           !endsWith(".md") && lower.rfind("__macosx/", 0) != 0;
}

class ZipDecoder : public Decoder {
public:
    // Reads the archive at `path`, or `bytes` when no path is given.
    ZipDecoder(const std::filesystem::path& path, const std::string* bytes) {
        zip_error_t error;
        zip_error_init(&error);
        if (bytes != nullptr) {
            zip_source_t* source =
                zip_source_buffer_create(bytes->data(), bytes->size(), 0, &error);
            archive_ =
                source == nullptr ? nullptr : zip_open_from_source(source, ZIP_RDONLY, &error);
            if (archive_ == nullptr && source != nullptr) {
                zip_source_free(source);
            }
        } else {
            archive_ = zip_open(path.string().c_str(), ZIP_RDONLY, nullptr);
        }
        zip_error_fini(&error);
        if (archive_ == nullptr) {
            problem_ = "corrupt zip data (not a readable zip archive)";
            return;
        }
        openTheBarFile();
    }
    ~ZipDecoder() override {
        if (file_ != nullptr) {
            zip_fclose(file_);
        }
        if (archive_ != nullptr) {
            zip_discard(archive_);
        }
    }
    ZipDecoder(const ZipDecoder&) = delete;
    ZipDecoder& operator=(const ZipDecoder&) = delete;

    std::optional<std::string> next(char* out, std::size_t size, std::size_t& produced) override {
        if (problem_) {
            return problem_;
        }
        const zip_int64_t got = zip_fread(file_, out, size);
        if (got < 0) {
            return "corrupt zip data (" + std::string(zip_file_strerror(file_)) + ")";
        }
        produced = static_cast<std::size_t>(got);
        return std::nullopt;
    }
    const std::string& innerName() const { return innerName_; }

private:
    void openTheBarFile() {
        std::vector<zip_uint64_t> candidates;
        std::string names;
        const zip_int64_t count = zip_get_num_entries(archive_, 0);
        for (zip_int64_t i = 0; i < count; ++i) {
            const char* name = zip_get_name(archive_, static_cast<zip_uint64_t>(i), 0);
            if (name != nullptr && mayHoldBars(name)) {
                candidates.push_back(static_cast<zip_uint64_t>(i));
                names += (names.empty() ? "" : ", ") + std::string(name);
            }
        }
        if (candidates.size() != 1) {
            problem_ = candidates.empty() ? "the zip holds no bar file"
                                          : "the zip holds several files (" + names +
                                                "); unpack it and name the ones to read";
            return;
        }
        innerName_ = names;
        file_ = zip_fopen_index(archive_, candidates.front(), 0);
        if (file_ == nullptr) {
            problem_ = "corrupt zip data (" + std::string(zip_strerror(archive_)) + ")";
        }
    }

    zip_t* archive_ = nullptr;
    zip_file_t* file_ = nullptr;
    std::optional<std::string> problem_;
    std::string innerName_;
};

#endif

} // namespace

// Hands the decoded text to a std::istream a piece at a time.
class UnpackingBuffer : public std::streambuf {
public:
    explicit UnpackingBuffer(const std::filesystem::path& path) {
        std::error_code error;
        const auto size = std::filesystem::file_size(path, error);
        if (!error && size > MAX_INPUT_BYTES) {
            error_ = FILE_TOO_LARGE;
            return;
        }
        auto file = std::make_unique<FileSource>(path);
        if (!file->opened()) {
            error_ = "could not be opened";
            return;
        }
        source_ = std::move(file);
        start(&path, nullptr);
    }
    explicit UnpackingBuffer(std::string bytes) {
        auto memory = std::make_unique<MemorySource>(std::move(bytes));
        const std::string* held = &memory->bytes();
        source_ = std::move(memory);
        start(nullptr, held);
    }

    const std::optional<std::string>& error() const { return error_; }
    const std::string& innerName() const { return innerName_; }

protected:
    int_type underflow() override {
        if (gptr() < egptr()) {
            return traits_type::to_int_type(*gptr());
        }
        if (error_ || decoder_ == nullptr) {
            return traits_type::eof();
        }
        std::size_t produced = 0;
        if (auto problem = decoder_->next(text_.data(), text_.size(), produced)) {
            error_ = std::move(problem);
            return traits_type::eof();
        }
        if (produced == 0) {
            decoder_.reset();
            return traits_type::eof();
        }
        if (produced > MAX_INPUT_BYTES - total_) {
            error_ = packing_ == Packing::None ? FILE_TOO_LARGE : TOO_LARGE;
            return traits_type::eof();
        }
        total_ += produced;
        setg(text_.data(), text_.data(), text_.data() + produced);
        return traits_type::to_int_type(*gptr());
    }

private:
    // Reads the first bytes to tell the packing, then picks the decoder.
    void start(const std::filesystem::path* path, const std::string* bytes) {
        std::string first(CHUNK, '\0');
        std::size_t got = 0;
        if (!source_->read(first.data(), first.size(), got)) {
            error_ = UNREADABLE;
            return;
        }
        first.resize(got);
        packing_ = packingOf(first);
        switch (packing_) {
        case Packing::Xz:
#ifdef VUREZER_HAVE_XZ
            decoder_ = std::make_unique<XzDecoder>(*source_, std::move(first));
#else
            decoder_ =
                std::make_unique<MissingDecoder>("is packed with xz, which this build cannot "
                                                 "unpack; unpack it first (7-Zip, or xz -d)");
#endif
            break;
        case Packing::Gzip:
            decoder_ = std::make_unique<GzipDecoder>(*source_, std::move(first));
            break;
        case Packing::Zip: {
#ifdef VUREZER_HAVE_ZIP
            auto zip = std::make_unique<ZipDecoder>(path != nullptr ? *path : "", bytes);
            innerName_ = zip->innerName();
            decoder_ = std::move(zip);
#else
            (void)path;
            (void)bytes;
            decoder_ =
                std::make_unique<MissingDecoder>("is a zip archive, which this build cannot "
                                                 "unpack; unpack it first (Explorer or 7-Zip)");
#endif
            break;
        }
        case Packing::None:
            decoder_ = std::make_unique<PlainDecoder>(*source_, std::move(first));
            break;
        }
    }

    std::unique_ptr<RawSource> source_;
    std::unique_ptr<Decoder> decoder_;
    std::vector<char> text_ = std::vector<char>(CHUNK);
    std::size_t total_ = 0;
    Packing packing_ = Packing::None;
    std::optional<std::string> error_;
    std::string innerName_;
};

InputText::InputText(const std::filesystem::path& path)
    : buffer_(std::make_unique<UnpackingBuffer>(path)), stream_(buffer_.get()) {}

InputText::InputText(std::string bytes)
    : buffer_(std::make_unique<UnpackingBuffer>(std::move(bytes))), stream_(buffer_.get()) {}

InputText::~InputText() = default;

std::optional<std::string> InputText::error() const {
    return buffer_->error();
}

const std::string& InputText::innerName() const {
    return buffer_->innerName();
}

Packing packingOf(std::string_view bytes) {
    if (bytes.substr(0, 6) == std::string_view("\xFD"
                                               "7zXZ\0",
                                               6)) {
        return Packing::Xz;
    }
    if (bytes.substr(0, 2) == "\x1F\x8B") {
        return Packing::Gzip;
    }
    if (bytes.substr(0, 4) == "PK\x03\x04") {
        return Packing::Zip;
    }
    return Packing::None;
}

namespace {

UnpackedText readWhole(InputText& input) {
    UnpackedText result;
    std::streambuf& buffer = *input.stream().rdbuf();
    char piece[CHUNK];
    std::streamsize got = 0;
    while ((got = buffer.sgetn(piece, sizeof piece)) > 0) {
        result.text.append(piece, static_cast<std::size_t>(got));
    }
    result.error = input.error();
    if (result.error) {
        result.text.clear();
    }
    return result;
}

} // namespace

UnpackedText unpack(std::string bytes) {
    InputText input(std::move(bytes));
    return readWhole(input);
}

UnpackedText readInputFile(const std::filesystem::path& path) {
    InputText input(path);
    return readWhole(input);
}

} // namespace vz
