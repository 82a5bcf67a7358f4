// The memory ring, the disk cache with its index, pre-caching and the
// two-column list.
#include "foundation/QFileRoutine.h"
#include "foundation/QRoutine.h"
#include "imaging/IEFunctions.h"
#include "library/ThumbnailCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace palvo;

namespace {

QImage solid(QRgb colour, int w = 6, int h = 5) {
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

class CacheFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        cacheFolder = dir.filePath(QStringLiteral("cache/"));
        sources = dir.filePath(QStringLiteral("pictures/"));
        ASSERT_TRUE(QDir().mkpath(sources));
    }
    // A real file, so the cache names carry its modification time.
    QString source(int n) {
        const QString path = sources + QStringLiteral("img_%1.jpg").arg(n, 4, 10, QLatin1Char('0'));
        if (!QFileInfo::exists(path)) {
            QFile f(path);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("x");
        }
        return path;
    }
    QTemporaryDir dir;
    QString cacheFolder;
    QString sources;
    TIEFunctions functions;
};

} // namespace

TEST_F(CacheFixture, MemoryRingOverwritesOldestEvenWhenRecentlyRead) {
    ThumbnailCache cache(&functions);
    for (int i = 0; i < 100; ++i)
        cache.AddToMemoryCache(solid(qRgb(i, 0, 0)), source(i));
    QImage out;
    const int first = cache.FindInMemoryCache(source(0));
    ASSERT_EQ(first, 0);
    ASSERT_TRUE(cache.LoadFromMemoryCache(out, first));
    EXPECT_EQ(out.pixel(0, 0), qRgb(0, 0, 0));

    cache.AddToMemoryCache(solid(qRgb(0, 200, 0)), source(100));
    EXPECT_EQ(cache.FindInMemoryCache(source(0)), -1);
    EXPECT_EQ(cache.FindInMemoryCache(source(100)), 0);
    EXPECT_EQ(cache.FindInMemoryCache(source(1)), 1);
    EXPECT_EQ(cache.memoryWritePosition(), 1);
}

TEST_F(CacheFixture, MemoryCountLimitsAndSwitchesOff) {
    ThumbnailCache cache(&functions);
    cache.setMemoryCacheMaxCacheCount(500);
    EXPECT_EQ(cache.MemoryCacheMaxCacheCount(), 100);
    cache.setMemoryCacheMaxCacheCount(3);
    for (int i = 0; i < 4; ++i)
        cache.AddToMemoryCache(solid(qRgb(i, 0, 0)), source(i));
    EXPECT_EQ(cache.FindInMemoryCache(source(3)), 0); // wrapped after three slots
    cache.setMemoryCacheMaxCacheCount(0);
    cache.AddToMemoryCache(solid(qRgb(9, 9, 9)), source(9));
    EXPECT_EQ(cache.FindInMemoryCache(source(3)), -1);
    QImage out;
    EXPECT_FALSE(cache.LoadFromMemoryCache(out, 0));
}

TEST_F(CacheFixture, PathsDifferingInCaseAreDifferentEntries) {
    ThumbnailCache cache(&functions);
    cache.AddToMemoryCache(solid(qRgb(1, 2, 3)), QStringLiteral("/p/A.jpg"));
    EXPECT_EQ(cache.FindInMemoryCache(QStringLiteral("/p/a.jpg")), -1);
    EXPECT_EQ(cache.FindInMemoryCache(QStringLiteral("/p/A.jpg")), 0);
}

TEST_F(CacheFixture, InvalidateMemoryLeavesSlotUntilWritePositionReachesIt) {
    ThumbnailCache cache(&functions);
    for (int i = 0; i < 3; ++i)
        cache.AddToMemoryCache(solid(qRgb(i, 0, 0)), source(i));
    cache.InvalidateThumbnail(0, source(42)); // not cached: nothing happens
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(cache.FindInMemoryCache(source(i)), i);
    cache.InvalidateThumbnail(0, source(1));
    EXPECT_EQ(cache.memoryKey(1), QStringLiteral("nil"));
    EXPECT_EQ(cache.FindInMemoryCache(source(1)), -1);
    cache.AddToMemoryCache(solid(qRgb(5, 5, 5)), source(5));
    EXPECT_EQ(cache.FindInMemoryCache(source(5)), 3);
    cache.InvalidateThumbnail(0, QString());
    EXPECT_EQ(cache.FindInMemoryCache(source(5)), -1);
    EXPECT_EQ(cache.memoryWritePosition(), 0);
}

TEST_F(CacheFixture, CacheFileNameCarriesSizeDifferenceKeyAndFormat) {
    ThumbnailCache cache(&functions);
    const QString path = source(1);
    const QString expected = QStringLiteral("~x15") +
                             CacheKey(path, DelphiDateTime(FileDate(path, false))) +
                             QStringLiteral(".jpg");
    EXPECT_EQ(cache.cacheFileName(path), expected);
    EXPECT_TRUE(cache.cacheFileName(path).startsWith(QStringLiteral("~x15")));
    // A file that can't be examined leaves the date digits out.
    const QString missing = sources + QStringLiteral("gone.jpg");
    EXPECT_EQ(cache.cacheFileName(missing),
              QStringLiteral("~x15") + CacheKey(missing, 0) + QStringLiteral(".jpg"));
    cache.setThumbnailSize(60, 80);
    EXPECT_TRUE(cache.cacheFileName(path).startsWith(QStringLiteral("~x20")));
}

TEST_F(CacheFixture, DiskCacheWritesJpegAndReadsBack) {
    ThumbnailCache cache(&functions);
    cache.setDiskCacheDirectory(cacheFolder);
    EXPECT_EQ(cache.DiskCacheDirectory(), cacheFolder);
    ASSERT_TRUE(QFileInfo(cacheFolder).isDir());
    const QString path = source(1);
    cache.AddToDiskCache(solid(qRgb(200, 40, 40), 90, 68), path);
    ASSERT_EQ(cache.FindInDiskCache(path), 0);
    const QString file = cache.cacheFilePath(path);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(2) == QByteArray("\xFF\xD8"));
    QImage out;
    ASSERT_TRUE(cache.LoadFromDiskCache(out, 0));
    EXPECT_EQ(out.size(), QSize(90, 68));
    EXPECT_NEAR(qRed(out.pixel(45, 34)), 200, 6);
}

TEST_F(CacheFixture, BmpFormatWritesBitmaps) {
    ThumbnailCache cache(&functions);
    cache.DiskCacheSaveFormat = QStringLiteral(".bmp");
    cache.setDiskCacheDirectory(cacheFolder);
    const QString path = source(1);
    cache.AddToDiskCache(solid(qRgb(10, 200, 30)), path);
    const QString file = cache.cacheFilePath(path);
    EXPECT_TRUE(file.endsWith(QStringLiteral(".bmp")));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(2) == QByteArray("BM"));
    QImage out;
    ASSERT_TRUE(cache.LoadFromDiskCache(out, 0));
    EXPECT_EQ(out.pixel(0, 0), qRgb(10, 200, 30)); // lossless
}

TEST_F(CacheFixture, ThousandAndFirstEvictsLeastRecentlyUsedAndReadMovesToEnd) {
    ThumbnailCache cache(&functions);
    cache.DiskCacheMaxCacheCount = 1000;
    cache.setDiskCacheDirectory(cacheFolder);
    const QImage tiny = solid(qRgb(1, 1, 1), 2, 2);
    for (int i = 0; i < 1000; ++i)
        cache.AddToDiskCache(tiny, source(i));
    ASSERT_EQ(cache.diskIndex().size(), 1000);
    // Reading entry 0 back makes it the most recently used.
    QImage out;
    ASSERT_TRUE(cache.LoadFromDiskCache(out, cache.FindInDiskCache(source(0))));
    EXPECT_EQ(cache.diskIndex().last(), source(0));
    const QString victimFile = cache.cacheFilePath(source(1));
    ASSERT_TRUE(QFileInfo::exists(victimFile));

    cache.AddToDiskCache(tiny, source(1000));
    EXPECT_EQ(cache.diskIndex().size(), 1000);
    EXPECT_EQ(cache.FindInDiskCache(source(1)), -1);
    EXPECT_FALSE(QFileInfo::exists(victimFile));
    EXPECT_GE(cache.FindInDiskCache(source(0)), 0);
    EXPECT_TRUE(QFileInfo::exists(cache.cacheFilePath(source(0))));
}

TEST_F(CacheFixture, ChangedFileGetsANewCacheName) {
    ThumbnailCache cache(&functions);
    cache.setDiskCacheDirectory(cacheFolder);
    const QString path = source(1);
    ASSERT_TRUE(SetFileDateTime(path, QDateTime(QDate(2020, 1, 2), QTime(3, 4, 6))));
    cache.AddToDiskCache(solid(qRgb(9, 9, 9)), path);
    const QString before = cache.cacheFilePath(path);
    ASSERT_TRUE(QFileInfo::exists(before));
    ASSERT_TRUE(SetFileDateTime(path, QDateTime(QDate(2021, 5, 6), QTime(7, 8, 10))));
    const QString after = cache.cacheFilePath(path);
    EXPECT_NE(before, after);
    EXPECT_FALSE(QFileInfo::exists(after));
    // The stale entry no longer loads; the index stays untouched by the miss.
    QImage out;
    EXPECT_FALSE(cache.LoadFromDiskCache(out, cache.FindInDiskCache(path)));
    EXPECT_EQ(cache.diskIndex().size(), 1);
    // Producing it again writes a file under the new name.
    int produced = 0;
    const QString ensured = cache.EnsureDiskCached(path, [&](const QString&, QImage& t) {
        ++produced;
        t = solid(qRgb(7, 7, 7));
        return true;
    });
    EXPECT_EQ(ensured, after);
    EXPECT_EQ(produced, 1);
    EXPECT_TRUE(QFileInfo::exists(after));
}

TEST_F(CacheFixture, IndexIsWrittenAfterThirtyOneAdditionsAndAtDestruction) {
    const QString indexFile = cacheFolder + QLatin1String(kCacheIndexFileName);
    {
        ThumbnailCache cache(&functions);
        cache.setDiskCacheDirectory(cacheFolder);
        for (int i = 0; i < 30; ++i)
            cache.AddToDiskCache(solid(qRgb(1, 1, 1), 2, 2), source(i));
        EXPECT_EQ(cache.saveCounter(), 30);
        EXPECT_FALSE(QFileInfo::exists(indexFile));
        cache.AddToDiskCache(solid(qRgb(1, 1, 1), 2, 2), source(30));
        EXPECT_EQ(cache.saveCounter(), 0);
        ASSERT_TRUE(QFileInfo::exists(indexFile));
        cache.AddToDiskCache(solid(qRgb(1, 1, 1), 2, 2), source(31));
    }
    QFile f(indexFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_EQ(bytes.count("\r\n"), 32);
    EXPECT_TRUE(bytes.startsWith(source(0).toUtf8() + "\r\n"));

    ThumbnailCache again(&functions);
    again.setDiskCacheDirectory(cacheFolder);
    EXPECT_EQ(again.diskIndex().size(), 32);
    again.ClearDiskCache();
    EXPECT_TRUE(again.diskIndex().isEmpty());
    again.SaveDiskCacheIndex();
    EXPECT_FALSE(QFileInfo::exists(indexFile)); // an empty index deletes the file
    EXPECT_TRUE(
        QDir(cacheFolder).entryList(QStringList{QStringLiteral("~x*")}, QDir::Files).isEmpty());
}

TEST_F(CacheFixture, SuspendedCacheAddsNothingAndResumeReadsTheSharedIndex) {
    ThumbnailCache grid(&functions);
    grid.setDiskCacheDirectory(cacheFolder);
    grid.AddToDiskCache(solid(qRgb(1, 1, 1)), source(0));
    grid.SuspendDiskCache();
    EXPECT_TRUE(QFileInfo::exists(cacheFolder + QLatin1String(kCacheIndexFileName)));
    grid.AddToDiskCache(solid(qRgb(1, 1, 1)), source(1));
    EXPECT_EQ(grid.FindInDiskCache(source(1)), -1);
    QImage out;
    EXPECT_TRUE(grid.LoadFromDiskCache(out, 0)); // reads still work
    {
        // Another grid on the same folder, as the Get Pictures dialog has.
        ThumbnailCache dialog(&functions);
        dialog.setDiskCacheDirectory(cacheFolder);
        dialog.AddToDiskCache(solid(qRgb(2, 2, 2)), source(2));
    }
    grid.ResumeDiskCache();
    EXPECT_GE(grid.FindInDiskCache(source(2)), 0);
    EXPECT_GE(grid.FindInDiskCache(source(0)), 0);
}

TEST_F(CacheFixture, InvalidateDiskEvictsOneOrAll) {
    ThumbnailCache cache(&functions);
    cache.setDiskCacheDirectory(cacheFolder);
    for (int i = 0; i < 3; ++i) {
        cache.AddToDiskCache(solid(qRgb(1, 1, 1)), source(i));
        cache.AddToMemoryCache(solid(qRgb(1, 1, 1)), source(i));
    }
    cache.InvalidateThumbnail(1, source(7)); // not cached
    EXPECT_EQ(cache.diskIndex().size(), 3);
    const QString file1 = cache.cacheFilePath(source(1));
    cache.InvalidateThumbnail(1, source(1));
    EXPECT_EQ(cache.FindInDiskCache(source(1)), -1);
    EXPECT_FALSE(QFileInfo::exists(file1));
    EXPECT_EQ(cache.FindInMemoryCache(source(1)), 1); // memory untouched in mode 1
    cache.InvalidateThumbnail(2, source(2));
    EXPECT_EQ(cache.FindInDiskCache(source(2)), -1);
    EXPECT_EQ(cache.FindInMemoryCache(source(2)), -1);
    cache.InvalidateThumbnail(2, QString());
    EXPECT_TRUE(cache.diskIndex().isEmpty());
    EXPECT_EQ(cache.FindInMemoryCache(source(0)), -1);
}

TEST_F(CacheFixture, FolderThatCannotBeCreatedSwitchesTheDiskCacheOff) {
    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ThumbnailCache cache(&functions);
    cache.setDiskCacheDirectory(dir.filePath(QStringLiteral("file/cache")));
    EXPECT_TRUE(cache.DiskCacheDirectory().isEmpty());
    cache.AddToDiskCache(solid(qRgb(1, 1, 1)), source(0));
    EXPECT_EQ(cache.FindInDiskCache(source(0)), -1);
    EXPECT_TRUE(GetDiskCacheDirectory(dir.filePath(QStringLiteral("file/cache"))).isEmpty());
    EXPECT_EQ(GetDiskCacheDirectory(cacheFolder), cacheFolder);
}

TEST_F(CacheFixture, UnreadableIndexStartsEmpty) {
    ASSERT_TRUE(QDir().mkpath(cacheFolder + QLatin1String(kCacheIndexFileName)));
    ThumbnailCache cache(&functions);
    cache.setDiskCacheDirectory(cacheFolder);
    EXPECT_TRUE(cache.diskIndex().isEmpty());
}

TEST_F(CacheFixture, PrecacheWalksTheListAndParksAtTheFirstFailure) {
    ThumbnailCache cache(&functions);
    cache.setDiskCacheDirectory(cacheFolder);
    const QStringList entries{QLatin1Char(';') + source(0), source(1), QLatin1Char(';') + source(2),
                              source(3)};
    QStringList produced;
    const ThumbnailProducer producer = [&](const QString& name, QImage& t) {
        produced << name;
        if (name == source(2))
            return false;
        t = solid(qRgb(3, 3, 3));
        return true;
    };
    cache.PrecacheNext(&entries, producer);
    cache.PrecacheNext(&entries, producer);
    EXPECT_EQ(cache.precacheCursor(), 2);
    cache.PrecacheNext(&entries, producer); // fails: parked
    EXPECT_EQ(cache.precacheCursor(), 10'000'000);
    cache.PrecacheNext(&entries, producer);
    EXPECT_EQ(produced, (QStringList{source(0), source(1), source(2)}));
    EXPECT_EQ(cache.diskIndex(), (QStringList{source(0), source(1)}));
    // A file already cached is not produced again.
    cache.restartPrecache();
    cache.PrecacheNext(&entries, producer);
    EXPECT_EQ(produced.size(), 3);
    // Switched off, nothing happens.
    cache.PreCacheThumbnails = false;
    cache.PrecacheNext(&entries, producer);
    EXPECT_EQ(cache.precacheCursor(), 1);
}

TEST_F(CacheFixture, PrecacheWaitsForAFolderThatTakesFiles) {
    const QStringList entries{source(0)};
    int produced = 0;
    const ThumbnailProducer producer = [&](const QString&, QImage& t) {
        ++produced;
        t = solid(qRgb(3, 3, 3));
        return true;
    };
    ThumbnailCache cache(&functions); // no folder: nothing to fill
    EXPECT_FALSE(cache.precacheDue(&entries));
    cache.PrecacheNext(&entries, producer);
    EXPECT_EQ(produced, 0);
    cache.setDiskCacheDirectory(cacheFolder);
    cache.SuspendDiskCache(); // nothing would be stored
    EXPECT_FALSE(cache.precacheDue(&entries));
    cache.ResumeDiskCache();
    ASSERT_TRUE(cache.precacheDue(&entries));
    cache.PrecacheNext(&entries, producer);
    EXPECT_EQ(produced, 1);
    EXPECT_FALSE(cache.precacheDue(&entries)); // the list is done
}

TEST_F(CacheFixture, EnsureDiskCachedWhileSuspendedProducesButStoresNothing) {
    ThumbnailCache cache(&functions);
    cache.setDiskCacheDirectory(cacheFolder);
    cache.SuspendDiskCache();
    int produced = 0;
    const QString path = cache.EnsureDiskCached(source(0), [&](const QString&, QImage& t) {
        ++produced;
        t = solid(qRgb(3, 3, 3));
        return true;
    });
    EXPECT_EQ(produced, 1);
    EXPECT_FALSE(path.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(cache.diskIndex().isEmpty());
}

TEST(CacheSize, FreeSpaceThresholds) {
    const struct {
        std::int64_t free;
        int count;
    } cases[] = {
        {-1, 1000},
        {0, 1000},
        {104'857'600, 1000},
        {104'857'601, 5000},
        {262'144'000, 5000},
        {262'144'001, 15000},
        {std::int64_t(1) << 40, 15000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(diskCacheCountForFreeSpace(c.free), c.count) << c.free;
    EXPECT_EQ(GetDiskCacheMaxCount(QString()), 1000);
    EXPECT_GE(GetDiskCacheMaxCount(QDir::tempPath()), 1000);
}

TEST(CachedDoubleStringList, KeepsPairsInStepAndClearDeletesItsFile) {
    QTemporaryDir dir;
    TCachedDoubleStringList list;
    EXPECT_EQ(list.CacheFilename, QStringLiteral("~ImgeDim.che"));
    EXPECT_EQ(list.MemoryCacheCount, 0);
    list.Add(QStringLiteral("a.jpg"), QStringLiteral("640x480"));
    list.Clear(); // no folder: no file is touched
    EXPECT_EQ(list.Count(), 0);

    list.setCacheDirectory(dir.path());
    EXPECT_EQ(list.CacheDirectory(), dir.path() + QLatin1Char('/'));
    list.MemoryCacheCount = 2;
    list.Add(QStringLiteral("a.jpg"), QStringLiteral("1"));
    list.Add(QStringLiteral("b.jpg"), QStringLiteral("2"));
    list.Add(QStringLiteral("c.jpg"), QStringLiteral("3"));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Find(QStringLiteral("a.jpg")), QString());
    EXPECT_EQ(list.Find(QStringLiteral("c.jpg")), QStringLiteral("3"));
    ASSERT_TRUE(list.SaveToFile());
    TCachedDoubleStringList other;
    other.setCacheDirectory(dir.path());
    ASSERT_TRUE(other.LoadFromFile());
    EXPECT_EQ(other.Find(QStringLiteral("b.jpg")), QStringLiteral("2"));
    const QString file = list.CacheDirectory() + list.CacheFilename;
    ASSERT_TRUE(QFileInfo::exists(file));
    list.Clear();
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(list.Count(), 0);
}
