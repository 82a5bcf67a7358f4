#pragma once

#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace palvo {

class TIEFunctions;

// The name of the disk cache's index file inside the cache folder.
inline constexpr char kCacheIndexFileName[] = "~cche.idx";
// Slots of the memory ring.
inline constexpr int kMemoryCacheSlots = 100;
// The save counter writes the index when it passes this value.
inline constexpr int kIndexSaveInterval = 30;
// Where PrecacheNext parks its cursor after a failure.
inline constexpr int kPrecacheParked = 9'999'999;

// File paths are compared exactly: on Linux two names that differ in letter
// case are two files, so a cache must never hand one the other's thumbnail.
[[nodiscard]] inline bool samePath(const QString& a, const QString& b) {
    return a == b;
}

// "~x" + |width - height| + CacheKey(path, modification time) + format; the
// modification time is the file's last-write time as a day count, 0 when the
// file can't be examined.
[[nodiscard]] QString thumbnailCacheFileName(const QString& sourcePath, int thumbnailWidth,
                                             int thumbnailHeight, const QString& saveFormat);

// The cache size for the free bytes of the cache's file system: 15000 above
// 262,144,000 bytes, 5000 above 104,857,600, else (and when unknown, < 0) 1000.
[[nodiscard]] int diskCacheCountForFreeSpace(std::int64_t freeBytes);
// The cache folder (GetFolder kind 3), created when missing; empty when it
// can't be created.
[[nodiscard]] QString GetDiskCacheDirectory(const QString& cacheFolder);
// diskCacheCountForFreeSpace of the file system that holds the folder.
[[nodiscard]] int GetDiskCacheMaxCount(const QString& cacheFolder);

// Makes one fitted thumbnail of a file: true and the bitmap, or false.
using ThumbnailProducer = std::function<bool(const QString& fileName, QImage& thumbnail)>;

// The two thumbnail caches of a grid: a ring of bitmaps in memory and a folder
// of small picture files indexed least recently used first. No operation
// raises; failures fall back (reads) or are ignored (writes).
class ThumbnailCache {
public:
    explicit ThumbnailCache(TIEFunctions* functions = nullptr);
    // Writes the index.
    ~ThumbnailCache();
    ThumbnailCache(const ThumbnailCache&) = delete;
    ThumbnailCache& operator=(const ThumbnailCache&) = delete;

    // The library that reads and writes the cache files (Qt's readers without).
    void setFunctions(TIEFunctions* functions) { functions_ = functions; }
    // The size the thumbnails are drawn at; it is part of the cache names.
    void setThumbnailSize(int width, int height);
    [[nodiscard]] int thumbnailWidth() const { return thumbnailWidth_; }
    [[nodiscard]] int thumbnailHeight() const { return thumbnailHeight_; }

    // --- memory ring
    // 0 switches the memory cache off; values above 100 count as 100.
    void setMemoryCacheMaxCacheCount(int count);
    [[nodiscard]] int MemoryCacheMaxCacheCount() const { return memoryCount_; }
    [[nodiscard]] int FindInMemoryCache(const QString& fileName) const;
    bool LoadFromMemoryCache(QImage& bitmap, int slot) const;
    void AddToMemoryCache(const QImage& bitmap, const QString& fileName);
    void ClearMemoryCache();
    // The key of a slot ("nil" for an empty one) and the next write position.
    [[nodiscard]] QString memoryKey(int slot) const;
    [[nodiscard]] int memoryWritePosition() const { return writePosition_; }

    // --- disk cache
    // A folder that can't be created becomes empty (no disk cache); a new
    // folder loads its index.
    void setDiskCacheDirectory(const QString& folder);
    [[nodiscard]] QString DiskCacheDirectory() const { return diskFolder_; }
    // 0 switches the disk cache off.
    std::int16_t DiskCacheMaxCacheCount = 300;
    // ".jpg" (any letter case) writes JPEG at quality 90, anything else bitmaps.
    QString DiskCacheSaveFormat = QStringLiteral(".jpg");
    bool PreCacheThumbnails = true;

    [[nodiscard]] QString cacheFileName(const QString& fileName) const;
    [[nodiscard]] QString cacheFilePath(const QString& fileName) const;
    [[nodiscard]] int FindInDiskCache(const QString& fileName) const;
    bool LoadFromDiskCache(QImage& bitmap, int position);
    void AddToDiskCache(const QImage& bitmap, const QString& fileName);
    void EvictDiskEntry(int position);
    void ClearDiskCache();
    // mode 0 memory, 1 disk, 2 both; an empty name means everything.
    void InvalidateThumbnail(int mode, const QString& fileName);
    void LoadDiskCacheIndex();
    void SaveDiskCacheIndex();
    void SuspendDiskCache();
    void ResumeDiskCache();
    [[nodiscard]] bool diskCacheEnabled() const { return enabled_; }
    [[nodiscard]] const QStringList& diskIndex() const { return index_; }
    [[nodiscard]] int saveCounter() const { return saveCounter_; }

    // --- pre-caching
    // Cache file path when the file is (now) in the disk cache; empty when the
    // thumbnail could not be produced.
    QString EnsureDiskCached(const QString& fileName, const ThumbnailProducer& produce);
    // One step over the entries of the attached list (";" marks stripped).
    void PrecacheNext(const QStringList* entries, const ThumbnailProducer& produce);
    void restartPrecache() { precacheCursor_ = 0; }
    [[nodiscard]] int precacheCursor() const { return precacheCursor_; }
    void setPrecacheCursor(int cursor) { precacheCursor_ = cursor; }
    // Whether PrecacheNext has work for that list: switched on, a disk cache
    // folder that takes files, and entries left after the cursor.
    [[nodiscard]] bool precacheDue(const QStringList* entries) const;

private:
    [[nodiscard]] bool diskActive() const {
        return DiskCacheMaxCacheCount != 0 && !diskFolder_.isEmpty();
    }
    [[nodiscard]] bool jpegFormat() const;

    TIEFunctions* functions_;
    int thumbnailWidth_ = 90;
    int thumbnailHeight_ = 75;
    struct Slot {
        QString key = QStringLiteral("nil");
        QImage bitmap;
    };
    std::vector<Slot> slots_;
    int memoryCount_ = kMemoryCacheSlots;
    int writePosition_ = 0;
    QString diskFolder_;
    QStringList index_;
    // How often each path occurs in the index: a miss needs no scan.
    QHash<QString, int> indexCount_;
    bool enabled_ = true;
    int saveCounter_ = 0;
    int precacheCursor_ = 0;
};

// A two-column string list kept in step, with a cache file that Clear removes.
class TCachedDoubleStringList {
public:
    void setCacheDirectory(const QString& folder);
    [[nodiscard]] QString CacheDirectory() const { return cacheDirectory_; }
    QString CacheFilename = QStringLiteral("~ImgeDim.che");
    // The most pairs kept; 0 for no limit. Adding beyond it drops the oldest.
    int MemoryCacheCount = 0;

    void Add(const QString& first, const QString& second);
    // The second string of the first pair whose first string is given; empty
    // when there is none.
    [[nodiscard]] QString Find(const QString& first) const;
    [[nodiscard]] int Count() const { return int(first_.size()); }
    // Empties both lists and deletes the cache file when a folder is set.
    void Clear();
    // The cache file (CacheDirectory + CacheFilename) keeps one pair a line,
    // the two strings split by a tab; pairs holding a tab or a line break are
    // not stored. Both fail without a folder.
    bool SaveToFile() const;
    bool LoadFromFile();

private:
    QString cacheDirectory_;
    QStringList first_;
    QStringList second_;
};

} // namespace palvo
