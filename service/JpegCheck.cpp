#include "JpegCheck.h"

#include <turbojpeg.h>

#include <memory>
#include <vector>

namespace palvo::service {

namespace {

JpegCheck refuse(int status, std::string reason) {
    JpegCheck c;
    c.status = status;
    c.reason = std::move(reason);
    return c;
}

struct TjDeleter {
    void operator()(void* h) const { tjDestroy(h); }
};

} // namespace

JpegCheck checkJpeg(const std::string& bytes, const FrameLimits& limits) {
    if (bytes.empty())
        return refuse(422, "The file is empty.");
    if (static_cast<std::int64_t>(bytes.size()) > limits.maxBytes)
        return refuse(413, "The picture is " + std::to_string(bytes.size()) +
                               " bytes; this frame accepts at most " +
                               std::to_string(limits.maxBytes) + " bytes.");
    if (bytes.size() < 4 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
        static_cast<unsigned char>(bytes[1]) != 0xD8 ||
        static_cast<unsigned char>(bytes[2]) != 0xFF)
        return refuse(415, "The file is not a JPEG picture.");

    std::unique_ptr<void, TjDeleter> tj(tjInitDecompress());
    if (!tj)
        return refuse(500, "The picture decoder is not available.");
    auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto size = static_cast<unsigned long>(bytes.size());
    int width = 0, height = 0, subsamp = 0, colorspace = 0;
    if (tjDecompressHeader3(tj.get(), data, size, &width, &height, &subsamp, &colorspace) != 0)
        return refuse(422, "The JPEG header cannot be read.");
    if (width <= 0 || height <= 0)
        return refuse(422, "The JPEG header gives no picture size.");
    if (width > limits.maxWidth || height > limits.maxHeight)
        return refuse(422, "The picture is " + std::to_string(width) + " x " +
                               std::to_string(height) + " pixels; this frame shows at most " +
                               std::to_string(limits.maxWidth) + " x " +
                               std::to_string(limits.maxHeight) + " pixels.");

    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 3);
    if (tjDecompress2(tj.get(), data, size, pixels.data(), width, 0, height, TJPF_RGB,
                      TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS) != 0)
        return refuse(422, std::string("The picture is damaged or incomplete (") +
                               tjGetErrorStr2(tj.get()) + ").");

    JpegCheck c;
    c.ok = true;
    c.status = 200;
    c.width = width;
    c.height = height;
    return c;
}

} // namespace palvo::service
