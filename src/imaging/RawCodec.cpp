#include "imaging/RawCodec.h"

#include "imaging/ImageFormats.h"
#include "imaging/ImageLimits.h"
#include "imaging/JpegCodec.h"
#include "imaging/Orientation.h"

#include <libraw/libraw.h>

#include <cstring>
#include <memory>

namespace palvo {

namespace {

// LibRaw's flip code: 3 half turn, 5 left, 6 right.
PictureTurn turnForFlip(int flip) {
    switch (flip) {
    case 3:
        return kTurnHalf;
    case 5:
        return kTurnLeft;
    case 6:
        return kTurnRight;
    default:
        return kTurnNone;
    }
}

QImage fromProcessed(const libraw_processed_image_t* p) {
    if (!p || p->type != LIBRAW_IMAGE_BITMAP || p->colors != 3 || p->bits != 8 ||
        !withinPixelBudget(p->width, p->height) ||
        std::size_t(p->width) * p->height * 3 > p->data_size) {
        return {};
    }
    QImage image(p->width, p->height, QImage::Format_RGB888);
    if (image.isNull()) {
        return image;
    }
    for (int y = 0; y < image.height(); ++y) {
        std::memcpy(image.scanLine(y), p->data + std::size_t(y) * p->width * 3,
                    std::size_t(p->width) * 3);
    }
    return image;
}

struct ProcessedDeleter {
    void operator()(libraw_processed_image_t* p) const { LibRaw::dcraw_clear_mem(p); }
};
using ProcessedPtr = std::unique_ptr<libraw_processed_image_t, ProcessedDeleter>;

QImage embeddedPreview(LibRaw& raw, const RawDecodeOptions& options) {
    if (raw.unpack_thumb() != LIBRAW_SUCCESS) {
        return {};
    }
    const libraw_thumbnail_t& thumb = raw.imgdata.thumbnail;
    QImage image;
    if (thumb.tformat == LIBRAW_THUMBNAIL_JPEG && thumb.thumb && thumb.tlength > 0) {
        const QByteArray jpeg(thumb.thumb, qsizetype(thumb.tlength));
        JpegHeader header;
        if (readJpegHeader(jpeg, header)) {
            image = decodeJpeg(jpeg, chooseJpegScale(header.width, header.height, options.widthHint,
                                                     options.heightHint))
                        .image;
        }
    } else if (thumb.tformat == LIBRAW_THUMBNAIL_BITMAP) {
        int error = 0;
        ProcessedPtr p(raw.dcraw_make_mem_thumb(&error));
        image = fromProcessed(p.get());
    }
    return applyTurn(image, turnForFlip(raw.imgdata.sizes.flip));
}

} // namespace

RawDecoded decodeRaw(const QByteArray& bytes, const RawDecodeOptions& options) {
    RawDecoded result;
    try {
        auto raw = std::make_unique<LibRaw>(LIBRAW_OPTIONS_NONE);
        QByteArray data = bytes; // LibRaw reads from the buffer for its whole life
        if (raw->open_buffer(data.data(), std::size_t(data.size())) != LIBRAW_SUCCESS) {
            result.error = QStringLiteral("Not a camera raw file");
            return result;
        }
        const auto& sizes = raw->imgdata.sizes;
        if (!withinPixelBudget(sizes.raw_width, sizes.raw_height) ||
            !withinPixelBudget(sizes.width, sizes.height)) {
            result.error = QStringLiteral("Picture too large");
            return result;
        }
        const bool tiny = options.widthHint > 0 && options.heightHint > 0 &&
                          options.widthHint <= 150 && options.heightHint <= 100;
        if (tiny) {
            result.image = embeddedPreview(*raw, options);
            if (result.image.width() > 1 && result.image.height() > 1) {
                return result;
            }
        }
        auto& params = raw->imgdata.params;
        if (options.bestDisplay) {
            params.bright = 1.0f;
            params.aber[0] = 1.0;
            params.aber[2] = 1.0;
            params.user_qual = 0; // linear interpolation: the quick one
            params.use_auto_wb = 1;
            params.use_camera_wb = 0;
            params.four_color_rgb = 0;
        }
        params.output_bps = 8;
        params.half_size = options.widthHint > 0 && options.heightHint > 0 &&
                                   options.widthHint <= 1800 && options.heightHint <= 1400
                               ? 1
                               : 0;
        if (raw->unpack() != LIBRAW_SUCCESS || raw->dcraw_process() != LIBRAW_SUCCESS) {
            result.error = QStringLiteral("Cannot decode the camera raw file");
            return result;
        }
        int error = 0;
        ProcessedPtr p(raw->dcraw_make_mem_image(&error));
        result.image = fromProcessed(p.get()); // LibRaw has applied the camera's turn
        if (result.image.isNull()) {
            result.error = QStringLiteral("Cannot decode the camera raw file");
        }
    } catch (...) {
        result.image = QImage();
        result.error = QStringLiteral("Cannot decode the camera raw file");
    }
    return result;
}

} // namespace palvo
