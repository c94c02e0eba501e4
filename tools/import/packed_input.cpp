#include "tools/import/packed_input.h"

#include <fstream>
#include <iterator>
#include <lzma.h>
#include <zlib.h>

namespace vz {

namespace {

// Bar files are a few megabytes; anything unpacking past this is not one.
constexpr std::size_t MAX_UNPACKED_BYTES = std::size_t{1} << 30;
constexpr std::size_t CHUNK = std::size_t{1} << 16;

const char* const TOO_LARGE = "unpacks to more than 1 GiB; not a bar file";

UnpackedText failure(std::string message) {
    return {{}, std::move(message)};
}

UnpackedText unpackXz(const std::string& bytes) {
    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_stream_decoder(&stream, UINT64_MAX, LZMA_CONCATENATED) != LZMA_OK) {
        return failure("could not start the xz decoder");
    }
    stream.next_in = reinterpret_cast<const std::uint8_t*>(bytes.data());
    stream.avail_in = bytes.size();
    UnpackedText result;
    lzma_ret status = LZMA_OK;
    char buffer[CHUNK];
    while (status == LZMA_OK) {
        stream.next_out = reinterpret_cast<std::uint8_t*>(buffer);
        stream.avail_out = sizeof buffer;
        status = lzma_code(&stream, LZMA_FINISH);
        result.text.append(buffer, sizeof buffer - stream.avail_out);
        if (result.text.size() > MAX_UNPACKED_BYTES) {
            status = LZMA_MEMLIMIT_ERROR;
        }
    }
    lzma_end(&stream);
    switch (status) {
    case LZMA_STREAM_END:
        return result;
    case LZMA_BUF_ERROR:
        return failure("xz data cut short (the file is truncated)");
    case LZMA_MEMLIMIT_ERROR:
        return failure(TOO_LARGE);
    case LZMA_MEM_ERROR:
        return failure("out of memory while unpacking xz data");
    default:
        return failure("corrupt xz data");
    }
}

UnpackedText unpackGzip(const std::string& bytes) {
    z_stream stream{};
    // 16 + window bits: gzip wrapper only.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
        return failure("could not start the gzip decoder");
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    UnpackedText result;
    int status = Z_OK;
    char buffer[CHUNK];
    while (true) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        result.text.append(buffer, sizeof buffer - stream.avail_out);
        if (result.text.size() > MAX_UNPACKED_BYTES) {
            inflateEnd(&stream);
            return failure(TOO_LARGE);
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
        return result;
    }
    if (status == Z_BUF_ERROR) {
        return failure("gzip data cut short (the file is truncated)");
    }
    return failure("corrupt gzip data");
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
        return unpackXz(bytes);
    case Packing::Gzip:
        return unpackGzip(bytes);
    case Packing::None:
        break;
    }
    return {std::move(bytes), std::nullopt};
}

UnpackedText readInputFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return failure("could not be opened");
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return failure("could not be read");
    }
    return unpack(std::move(bytes));
}

} // namespace vz
