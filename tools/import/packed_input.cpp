#include "tools/import/packed_input.h"

#include <fstream>
#include <functional>
#ifdef VUREZER_HAVE_XZ
#include <lzma.h>
#endif
#include <system_error>
#include <zlib.h>

namespace vz {

namespace {

// Bar files are a few megabytes; anything past this is not one.
constexpr std::size_t MAX_INPUT_BYTES = std::size_t{1} << 30;
constexpr std::size_t CHUNK = std::size_t{1} << 16;

const char* const TOO_LARGE = "unpacks to more than 1 GiB; not a bar file";
[[maybe_unused]] const char* const XZ_UNAVAILABLE =
    "is packed with xz, which this build cannot unpack; unpack it first (7-Zip, or xz -d)";

// Receives the unpacked bytes piece by piece; false stops the unpacking as too large.
using PieceSink = std::function<bool(const char* piece, std::size_t size)>;

UnpackedText failure(std::string message) {
    return {{}, std::move(message)};
}

#ifdef VUREZER_HAVE_XZ
std::optional<std::string> decodeXz(const std::string& bytes, const PieceSink& take) {
    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_stream_decoder(&stream, UINT64_MAX, LZMA_CONCATENATED) != LZMA_OK) {
        return "could not start the xz decoder";
    }
    stream.next_in = reinterpret_cast<const std::uint8_t*>(bytes.data());
    stream.avail_in = bytes.size();
    lzma_ret status = LZMA_OK;
    char buffer[CHUNK];
    while (status == LZMA_OK) {
        stream.next_out = reinterpret_cast<std::uint8_t*>(buffer);
        stream.avail_out = sizeof buffer;
        status = lzma_code(&stream, LZMA_FINISH);
        if (!take(buffer, sizeof buffer - stream.avail_out)) {
            status = LZMA_MEMLIMIT_ERROR;
        }
    }
    lzma_end(&stream);
    switch (status) {
    case LZMA_STREAM_END:
        return std::nullopt;
    case LZMA_BUF_ERROR:
        return "xz data cut short (the file is truncated)";
    case LZMA_MEMLIMIT_ERROR:
        return TOO_LARGE;
    case LZMA_MEM_ERROR:
        return "out of memory while unpacking xz data";
    default:
        return "corrupt xz data";
    }
}
#else
std::optional<std::string> decodeXz(const std::string&, const PieceSink&) {
    return XZ_UNAVAILABLE;
}
#endif

std::optional<std::string> decodeGzip(const std::string& bytes, const PieceSink& take) {
    z_stream stream{};
    // 16 + window bits: gzip wrapper only.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
        return "could not start the gzip decoder";
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    int status = Z_OK;
    char buffer[CHUNK];
    while (true) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        if (!take(buffer, sizeof buffer - stream.avail_out)) {
            inflateEnd(&stream);
            return TOO_LARGE;
        }
        // Several gzip members in a row unpack to their texts joined.
        if (status == Z_STREAM_END && stream.avail_in > 0) {
            status = inflateReset(&stream);
        }
        if (status != Z_OK) {
            break;
        }
    }
    inflateEnd(&stream);
    if (status == Z_STREAM_END) {
        return std::nullopt;
    }
    if (status == Z_BUF_ERROR) {
        return "gzip data cut short (the file is truncated)";
    }
    return "corrupt gzip data";
}

using Decoder = std::optional<std::string> (*)(const std::string&, const PieceSink&);

// A first pass only counts, so that an archive bursting the limit is refused
// before any memory is taken for it, and a good one fills a buffer of the
// exact size without ever growing it.
UnpackedText decodeMeasured(Decoder decode, const std::string& bytes) {
    std::size_t total = 0;
    const auto count = [&total](const char*, std::size_t size) {
        if (size > MAX_INPUT_BYTES - total) {
            return false;
        }
        total += size;
        return true;
    };
    if (auto problem = decode(bytes, count)) {
        return failure(std::move(*problem));
    }
    UnpackedText result;
    result.text.reserve(total);
    const auto keep = [&result](const char* piece, std::size_t size) {
        result.text.append(piece, size);
        return true;
    };
    if (auto problem = decode(bytes, keep)) {
        return failure(std::move(*problem));
    }
    return result;
}

} // namespace

Packing packingOf(std::string_view bytes) {
    if (bytes.substr(0, 6) == std::string_view("\xFD"
                                               "7zXZ\0",
                                               6)) {
        return Packing::Xz;
    }
    if (bytes.substr(0, 2) == "\x1F\x8B") {
        return Packing::Gzip;
    }
    return Packing::None;
}

UnpackedText unpack(std::string bytes) {
    switch (packingOf(bytes)) {
    case Packing::Xz:
        return decodeMeasured(decodeXz, bytes);
    case Packing::Gzip:
        return decodeMeasured(decodeGzip, bytes);
    case Packing::None:
        break;
    }
    return {std::move(bytes), std::nullopt};
}

UnpackedText readInputFile(const std::filesystem::path& path) {
    const char* const tooLarge = "is larger than 1 GiB; not a bar file";
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (!error && size > MAX_INPUT_BYTES) {
        return failure(tooLarge);
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return failure("could not be opened");
    }
    std::string bytes;
    bytes.reserve(error ? 0 : static_cast<std::size_t>(size));
    char buffer[CHUNK];
    // The file may grow while it is read; the limit holds all the same.
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        const auto count = static_cast<std::size_t>(in.gcount());
        if (count > MAX_INPUT_BYTES - bytes.size()) {
            return failure(tooLarge);
        }
        bytes.append(buffer, count);
    }
    if (in.bad()) {
        return failure("could not be read");
    }
    return unpack(std::move(bytes));
}

} // namespace vz
