#include "imaging/JpegCodec.h"

#include "imaging/ImageLimits.h"
#include "imaging/JpegMarkers.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace palvo {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to the setjmp of the running call. Only plain data lives
// between the setjmp and a jump; C++ objects are declared before it and are
// reached through pointers.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    int warnings;
};

[[noreturn]] void errorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void emitMessage(j_common_ptr cinfo, int level) {
    if (level < 0) {
        ++reinterpret_cast<ErrorManager*>(cinfo->err)->warnings;
    }
}

void outputMessage(j_common_ptr) {}

void installErrorManager(jpeg_common_struct* cinfo, ErrorManager& err) {
    cinfo->err = jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.emit_message = emitMessage;
    err.pub.output_message = outputMessage;
    err.message[0] = '\0';
    err.warnings = 0;
}

// Stops files with a hostile number of scans (each costs a pass over the
// whole coefficient buffer).
void limitScans(j_common_ptr cinfo) {
    if (cinfo->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxJpegScans) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        std::snprintf(err->message, sizeof err->message, "Too many scans in the JPEG file");
        std::longjmp(err->jump, 1);
    }
}

// The memory of the whole-picture coefficient buffer that progressive and
// multi-scan files need, in bytes.
std::int64_t coefficientBufferBytes(const jpeg_decompress_struct& cinfo) {
    std::int64_t total = 0;
    for (int ci = 0; ci < cinfo.num_components; ++ci) {
        const jpeg_component_info& comp = cinfo.comp_info[ci];
        const std::int64_t hBlocks = (std::int64_t(comp.width_in_blocks) + comp.h_samp_factor - 1) /
                                     comp.h_samp_factor * comp.h_samp_factor;
        const std::int64_t vBlocks =
            (std::int64_t(comp.height_in_blocks) + comp.v_samp_factor - 1) / comp.v_samp_factor *
            comp.v_samp_factor;
        total += hBlocks * vBlocks * std::int64_t(sizeof(JBLOCK));
    }
    return total;
}

const unsigned short kStdLuminance[64] = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};

void cmykRowToRgb(const JSAMPLE* cmyk, unsigned char* rgb, int width, bool inverted) {
    for (int x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        rgb[0] = static_cast<unsigned char>(c * k / 255);
        rgb[1] = static_cast<unsigned char>(m * k / 255);
        rgb[2] = static_cast<unsigned char>(y * k / 255);
    }
}

struct DecodeState {
    QImage image;
    std::vector<JSAMPLE> cmykRow;
    int rowsDone = 0;
    int scale = 1;
};

} // namespace

int estimateJpegQuality(const unsigned short* lumaTable64) {
    int best = 75;
    long bestDistance = -1;
    for (int q = 1; q <= 100; ++q) {
        const long scale = q < 50 ? 5000 / q : 200 - 2 * q;
        long distance = 0;
        for (int i = 0; i < 64; ++i) {
            const long expected = std::clamp((kStdLuminance[i] * scale + 50) / 100, 1L, 255L);
            distance += std::labs(expected - long(lumaTable64[i]));
        }
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = q;
        }
    }
    return best;
}

int chooseJpegScale(int width, int height, int widthHint, int heightHint) {
    if (widthHint <= 0 || heightHint <= 0 || width <= 0 || height <= 0) {
        return 1;
    }
    for (int scale : {8, 4, 2}) {
        // libjpeg rounds scaled sizes up.
        if ((width + scale - 1) / scale >= widthHint &&
            (height + scale - 1) / scale >= heightHint) {
            return scale;
        }
    }
    return 1;
}

bool readJpegHeader(const QByteArray& data, JpegHeader& header) {
    header = JpegHeader();
    if (data.size() < 4) {
        return false;
    }
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    installErrorManager(reinterpret_cast<jpeg_common_struct*>(&cinfo), err);
    JpegHeader* out = &header;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        *out = JpegHeader();
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    out->width = int(cinfo.image_width);
    out->height = int(cinfo.image_height);
    out->components = cinfo.num_components;
    out->progressive = cinfo.progressive_mode != 0;
    out->mcuWidth = cinfo.max_h_samp_factor * DCTSIZE;
    out->mcuHeight = cinfo.max_v_samp_factor * DCTSIZE;
    out->quality =
        cinfo.quant_tbl_ptrs[0] ? estimateJpegQuality(cinfo.quant_tbl_ptrs[0]->quantval) : 75;
    jpeg_destroy_decompress(&cinfo);
    return true;
}

JpegDecoded decodeJpeg(const QByteArray& data, int scale) {
    JpegDecoded result;
    if (data.size() < 4) {
        result.error = QStringLiteral("Not a JPEG file");
        return result;
    }
    result.exif = jpegExifPayload(data);
    DecodeState stateStorage;
    DecodeState* state = &stateStorage;
    state->scale = (scale == 2 || scale == 4 || scale == 8) ? scale : 1;
    JpegDecoded* out = &result;
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    jpeg_progress_mgr progress;
    installErrorManager(reinterpret_cast<jpeg_common_struct*>(&cinfo), err);
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        if (state->rowsDone > 0) {
            // A fault in the middle of the data: keep what was decoded.
            out->image = state->image;
            out->damaged = true;
        } else {
            out->error = QString::fromLatin1(err.message);
        }
        return result;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = static_cast<long>(kMaxJpegDecoderBytes);
    progress.progress_monitor = limitScans;
    cinfo.progress = &progress;
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        std::snprintf(err.message, sizeof err.message, "No picture in the JPEG file");
        std::longjmp(err.jump, 1);
    }
    if (!withinPixelBudget(cinfo.image_width, cinfo.image_height)) {
        std::snprintf(err.message, sizeof err.message, "Picture too large (%u x %u)",
                      cinfo.image_width, cinfo.image_height);
        std::longjmp(err.jump, 1);
    }
    const bool wholeFileBuffer =
        cinfo.progressive_mode || cinfo.comps_in_scan < cinfo.num_components;
    const std::int64_t coefficients = coefficientBufferBytes(cinfo);
    if (wholeFileBuffer && coefficients > kMaxJpegDecoderBytes) {
        std::snprintf(err.message, sizeof err.message, "JPEG file needs too much memory");
        std::longjmp(err.jump, 1);
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGB;
    cinfo.scale_num = 1;
    cinfo.scale_denom = static_cast<unsigned int>(state->scale);
    jpeg_calc_output_dimensions(&cinfo);
    const std::int64_t needed = (wholeFileBuffer ? coefficients : 0) +
                                std::int64_t(cinfo.output_width) * cinfo.output_height * 3;
    const std::int64_t blocks = coefficients / std::int64_t(sizeof(JBLOCK));
    if (needed > kJpegBombCheckBytes && (cinfo.arith_code || data.size() < blocks / 8)) {
        std::snprintf(err.message, sizeof err.message, "JPEG file needs too much memory");
        std::longjmp(err.jump, 1);
    }
    state->image = QImage(int(cinfo.output_width), int(cinfo.output_height), QImage::Format_RGB888);
    if (state->image.isNull()) {
        std::snprintf(err.message, sizeof err.message, "Not enough memory for the picture");
        std::longjmp(err.jump, 1);
    }
    if (cmyk) {
        state->cmykRow.resize(std::size_t(cinfo.output_width) * 4);
    }
    jpeg_start_decompress(&cinfo);
    const int width = int(cinfo.output_width);
    const bool inverted = cinfo.saw_Adobe_marker != 0;
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = int(cinfo.output_scanline);
        if (cmyk) {
            JSAMPROW row = state->cmykRow.data();
            jpeg_read_scanlines(&cinfo, &row, 1);
            cmykRowToRgb(row, state->image.scanLine(y), width, inverted);
        } else {
            JSAMPROW rows[16];
            const int count =
                std::min<int>({16, cinfo.rec_outbuf_height, int(cinfo.output_height) - y});
            for (int i = 0; i < count; ++i) {
                rows[i] = state->image.scanLine(y + i);
            }
            jpeg_read_scanlines(&cinfo, rows, JDIMENSION(count));
        }
        state->rowsDone = int(cinfo.output_scanline);
    }
    jpeg_finish_decompress(&cinfo);
    result.scale = state->scale;
    result.damaged = err.warnings > 0;
    result.image = state->image;
    jpeg_destroy_decompress(&cinfo);
    return result;
}

QByteArray encodeJpeg(const QImage& source, const JpegEncodeOptions& options) {
    if (source.isNull()) {
        return {};
    }
    const QImage image = source.format() == QImage::Format_RGB888
                             ? source
                             : source.convertToFormat(QImage::Format_RGB888);
    const std::vector<JpegSegment> extra = jpegHeaderSegments(
        options.extraSegments.isEmpty() ? QByteArray()
                                        : QByteArray("\xFF\xD8", 2) + options.extraSegments);
    jpeg_compress_struct cinfo;
    ErrorManager err;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    installErrorManager(reinterpret_cast<jpeg_common_struct*>(&cinfo), err);
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        return {};
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, std::clamp(options.quality, 1, 100), TRUE);
    cinfo.optimize_coding = FALSE;
    cinfo.smoothing_factor = 0;
    cinfo.write_JFIF_header = options.writeJfif ? TRUE : FALSE;
    cinfo.comp_info[0].h_samp_factor = std::clamp(options.lumaHSamp, 1, 4);
    cinfo.comp_info[0].v_samp_factor = std::clamp(options.lumaVSamp, 1, 4);
    jpeg_start_compress(&cinfo, TRUE);
    const QByteArray* segments = &options.extraSegments;
    for (const JpegSegment& s : extra) {
        const qsizetype start = s.offset + 4 - 2; // the segments array lacks the SOI
        jpeg_write_marker(&cinfo, s.marker,
                          reinterpret_cast<const JOCTET*>(segments->constData() + start),
                          static_cast<unsigned int>(s.size - 4));
    }
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    QByteArray result(reinterpret_cast<const char*>(buffer), qsizetype(size));
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return result;
}

} // namespace palvo
