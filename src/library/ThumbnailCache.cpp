#include "library/ThumbnailCache.h"

#include "foundation/QFileRoutine.h"
#include "foundation/QRoutine.h"
#include "foundation/TextListFile.h"
#include "imaging/IEFunctions.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cstdlib>

namespace palvo {

namespace {
const QString kNil = QStringLiteral("nil");
} // namespace

QString thumbnailCacheFileName(const QString& sourcePath, int thumbnailWidth, int thumbnailHeight,
                               const QString& saveFormat) {
    const double modified = DelphiDateTime(FileDate(sourcePath, false));
    return QStringLiteral("~x") + QString::number(std::abs(thumbnailWidth - thumbnailHeight)) +
           CacheKey(sourcePath, modified) + saveFormat;
}

int diskCacheCountForFreeSpace(std::int64_t freeBytes) {
    if (freeBytes > 262'144'000)
        return 15000;
    if (freeBytes > 104'857'600)
        return 5000;
    return 1000;
}

QString GetDiskCacheDirectory(const QString& cacheFolder) {
    if (cacheFolder.isEmpty() || !EnsureFolder(cacheFolder, false))
        return QString();
    return IncludeTrailingSeparator(cacheFolder);
}

int GetDiskCacheMaxCount(const QString& cacheFolder) {
    return diskCacheCountForFreeSpace(cacheFolder.isEmpty() ? -1 : DriveFreeSpace(cacheFolder));
}

// ------------------------------------------------------------------ ThumbnailCache

ThumbnailCache::ThumbnailCache(TIEFunctions* functions)
    : functions_(functions), slots_(kMemoryCacheSlots) {}

ThumbnailCache::~ThumbnailCache() {
    SaveDiskCacheIndex();
}

void ThumbnailCache::setThumbnailSize(int width, int height) {
    thumbnailWidth_ = width;
    thumbnailHeight_ = height;
}

void ThumbnailCache::setMemoryCacheMaxCacheCount(int count) {
    memoryCount_ = std::clamp(count, 0, kMemoryCacheSlots);
}

int ThumbnailCache::FindInMemoryCache(const QString& fileName) const {
    if (memoryCount_ == 0 || fileName.isEmpty())
        return -1;
    for (int slot = 0; slot < memoryCount_; ++slot) {
        if (samePath(slots_[size_t(slot)].key, fileName))
            return slot;
    }
    return -1;
}

bool ThumbnailCache::LoadFromMemoryCache(QImage& bitmap, int slot) const {
    if (memoryCount_ == 0 || slot < 0 || slot >= memoryCount_)
        return false;
    const Slot& s = slots_[size_t(slot)];
    if (s.key == kNil || s.bitmap.isNull())
        return false;
    bitmap = s.bitmap;
    return true;
}

void ThumbnailCache::AddToMemoryCache(const QImage& bitmap, const QString& fileName) {
    if (memoryCount_ == 0)
        return;
    if (writePosition_ >= memoryCount_)
        writePosition_ = 0;
    Slot& s = slots_[size_t(writePosition_)];
    if (bitmap.isNull() || fileName.isEmpty()) {
        s.key = kNil;
        s.bitmap = QImage();
        return;
    }
    s.bitmap = bitmap;
    s.key = fileName;
    ++writePosition_;
}

void ThumbnailCache::ClearMemoryCache() {
    for (Slot& s : slots_) {
        s.key = kNil;
        s.bitmap = QImage();
    }
    writePosition_ = 0;
}

QString ThumbnailCache::memoryKey(int slot) const {
    if (slot < 0 || slot >= kMemoryCacheSlots)
        return kNil;
    return slots_[size_t(slot)].key;
}

void ThumbnailCache::setDiskCacheDirectory(const QString& folder) {
    QString value = folder.trimmed();
    if (!value.isEmpty() && !EnsureFolder(value, false))
        value.clear();
    value = IncludeTrailingSeparator(value);
    if (!samePath(value, diskFolder_)) {
        diskFolder_ = value;
        LoadDiskCacheIndex();
    }
}

bool ThumbnailCache::jpegFormat() const {
    return DiskCacheSaveFormat.compare(QLatin1String(".JPG"), Qt::CaseInsensitive) == 0;
}

QString ThumbnailCache::cacheFileName(const QString& fileName) const {
    return thumbnailCacheFileName(fileName, thumbnailWidth_, thumbnailHeight_, DiskCacheSaveFormat);
}

QString ThumbnailCache::cacheFilePath(const QString& fileName) const {
    return diskFolder_ + cacheFileName(fileName);
}

int ThumbnailCache::FindInDiskCache(const QString& fileName) const {
    if (!diskActive() || !indexCount_.contains(fileName))
        return -1;
    for (int i = 0; i < index_.size(); ++i) {
        if (samePath(index_[i], fileName))
            return i;
    }
    return -1;
}

bool ThumbnailCache::LoadFromDiskCache(QImage& bitmap, int position) {
    if (!diskActive() || position < 0 || position >= index_.size())
        return false;
    const QString path = cacheFilePath(index_[position]);
    QImage loaded;
    bool ok = false;
    if (jpegFormat()) {
        if (functions_) {
            int scale = 1;
            ok = functions_->LoadJPEGBitmap(loaded, path, 0, 0, scale, false);
        } else {
            ok = loaded.load(path, "JPG");
        }
    } else {
        ok = loaded.load(path, "BMP");
    }
    if (!ok || loaded.isNull())
        return false;
    bitmap = loaded;
    index_.move(position, index_.size() - 1);
    return true;
}

void ThumbnailCache::AddToDiskCache(const QImage& bitmap, const QString& fileName) {
    if (!diskActive() || !enabled_ || bitmap.isNull() || fileName.isEmpty())
        return;
    const QString path = cacheFilePath(fileName);
    bool ok = false;
    if (jpegFormat()) {
        ok = functions_ ? functions_->SaveBitmapAsJPEG(bitmap, path, 90, false, false)
                        : bitmap.save(path, "JPG", 90);
    } else {
        // Written beside the target and renamed, so a reader never sees half
        // a file.
        QSaveFile file(path);
        ok = file.open(QIODevice::WriteOnly) &&
             bitmap.convertToFormat(QImage::Format_RGB888).save(&file, "BMP") && file.commit();
    }
    if (!ok)
        return;
    index_.push_back(fileName);
    ++indexCount_[fileName];
    if (index_.size() > DiskCacheMaxCacheCount)
        EvictDiskEntry(0);
    if (++saveCounter_ > kIndexSaveInterval)
        SaveDiskCacheIndex();
}

void ThumbnailCache::EvictDiskEntry(int position) {
    if (position < 0 || position >= index_.size())
        return;
    if (!diskFolder_.isEmpty())
        QFile::remove(cacheFilePath(index_[position]));
    const auto count = indexCount_.find(index_[position]);
    if (count != indexCount_.end() && --count.value() <= 0)
        indexCount_.erase(count);
    index_.removeAt(position);
}

void ThumbnailCache::ClearDiskCache() {
    for (int i = int(index_.size()) - 1; i >= 0; --i)
        EvictDiskEntry(i);
}

void ThumbnailCache::InvalidateThumbnail(int mode, const QString& fileName) {
    if ((mode == 1 || mode == 2) && DiskCacheMaxCacheCount > 0) {
        if (fileName.isEmpty())
            ClearDiskCache();
        else
            EvictDiskEntry(FindInDiskCache(fileName));
    }
    if ((mode == 0 || mode == 2) && memoryCount_ > 0) {
        if (fileName.isEmpty()) {
            ClearMemoryCache();
        } else {
            const int slot = FindInMemoryCache(fileName);
            if (slot >= 0) {
                slots_[size_t(slot)].key = kNil;
                slots_[size_t(slot)].bitmap = QImage();
            }
        }
    }
}

void ThumbnailCache::LoadDiskCacheIndex() {
    if (diskFolder_.isEmpty())
        return;
    const QString path = diskFolder_ + QLatin1String(kCacheIndexFileName);
    if (!QFile::exists(path))
        return;
    QStringList lines;
    if (ReadTextList(path, &lines))
        index_ = lines;
    else
        index_.clear();
    indexCount_.clear();
    for (const QString& entry : index_)
        ++indexCount_[entry];
}

void ThumbnailCache::SaveDiskCacheIndex() {
    if (!enabled_)
        return;
    saveCounter_ = 0;
    if (diskFolder_.isEmpty())
        return;
    const QString path = diskFolder_ + QLatin1String(kCacheIndexFileName);
    if (index_.isEmpty())
        QFile::remove(path);
    else
        (void)WriteTextList(path, index_);
}

void ThumbnailCache::SuspendDiskCache() {
    SaveDiskCacheIndex();
    enabled_ = false;
}

void ThumbnailCache::ResumeDiskCache() {
    enabled_ = true;
    LoadDiskCacheIndex();
}

QString ThumbnailCache::EnsureDiskCached(const QString& fileName,
                                         const ThumbnailProducer& produce) {
    const QString path = cacheFilePath(fileName);
    if (FileExistsQuiet(path))
        return path;
    QImage thumbnail;
    if (!produce || !produce(fileName, thumbnail) || thumbnail.isNull())
        return QString();
    AddToDiskCache(thumbnail, fileName);
    return path;
}

bool ThumbnailCache::precacheDue(const QStringList* entries) const {
    // Without a folder to fill (none set, or suspended) a pass would decode
    // pictures only to throw the thumbnails away.
    return PreCacheThumbnails && diskActive() && enabled_ && entries &&
           precacheCursor_ < entries->size();
}

void ThumbnailCache::PrecacheNext(const QStringList* entries, const ThumbnailProducer& produce) {
    if (!precacheDue(entries))
        return;
    QString name = entries->at(precacheCursor_);
    if (name.startsWith(QLatin1Char(';')))
        name.remove(0, 1);
    if (EnsureDiskCached(name, produce).isEmpty())
        precacheCursor_ = kPrecacheParked;
    ++precacheCursor_;
}

// ------------------------------------------------------------------ TCachedDoubleStringList

void TCachedDoubleStringList::setCacheDirectory(const QString& folder) {
    cacheDirectory_ = IncludeTrailingSeparator(folder);
}

void TCachedDoubleStringList::Add(const QString& first, const QString& second) {
    first_.push_back(first);
    second_.push_back(second);
    while (MemoryCacheCount > 0 && first_.size() > MemoryCacheCount) {
        first_.removeFirst();
        second_.removeFirst();
    }
}

QString TCachedDoubleStringList::Find(const QString& first) const {
    const qsizetype at = first_.indexOf(first);
    return at < 0 ? QString() : second_[at];
}

void TCachedDoubleStringList::Clear() {
    first_.clear();
    second_.clear();
    if (!cacheDirectory_.isEmpty()) {
        const QString path = cacheDirectory_ + CacheFilename;
        if (QFile::exists(path))
            QFile::remove(path);
    }
}

bool TCachedDoubleStringList::SaveToFile() const {
    if (cacheDirectory_.isEmpty())
        return false;
    QStringList lines;
    const auto storable = [](const QString& s) {
        return !s.contains(QLatin1Char('\t')) && !s.contains(QLatin1Char('\n')) &&
               !s.contains(QLatin1Char('\r'));
    };
    for (qsizetype i = 0; i < first_.size(); ++i) {
        if (!first_[i].isEmpty() && storable(first_[i]) && storable(second_[i]))
            lines << first_[i] + QLatin1Char('\t') + second_[i];
    }
    return WriteTextList(cacheDirectory_ + CacheFilename, lines);
}

bool TCachedDoubleStringList::LoadFromFile() {
    if (cacheDirectory_.isEmpty())
        return false;
    QStringList lines;
    if (!ReadTextList(cacheDirectory_ + CacheFilename, &lines))
        return false;
    first_.clear();
    second_.clear();
    for (const QString& line : lines) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab > 0)
            Add(line.left(tab), line.mid(tab + 1));
    }
    return true;
}

} // namespace palvo
