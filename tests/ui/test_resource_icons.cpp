#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QTextStream>

#include "UiTest.h"
#include "ui/ResourceIcons.h"

namespace {

constexpr int kIconIds[] = {128, 140, 142, 143, 144, 145, 146, 147, 151, 156, 158, 161, 163, 165, 166};
constexpr int kAppIcon = 128;

bool HasInk(const QPixmap& pixmap) {
  const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(image.pixel(x, y)) > 0) return true;
    }
  }
  return false;
}

// The image-format plugins mapped into this process.
int ImagePluginsLoaded() {
  QFile maps(QStringLiteral("/proc/self/maps"));
  if (!maps.open(QIODevice::ReadOnly)) return -1;
  return static_cast<int>(QString::fromLatin1(maps.readAll()).count(QStringLiteral("/imageformats/")));
}

}  // namespace

class ResourceIconsTest : public UiTest {};

TEST_F(ResourceIconsTest, EveryIconIsDrawnAtItsOwnSizeAndAtEachSizeItIsShownAt) {
  for (const int id : kIconIds) {
    const QSize own = ResourceIconSize(id);
    ASSERT_FALSE(own.isEmpty()) << id;
    EXPECT_EQ(ResourcePixmap(id).size(), own) << id;
    EXPECT_TRUE(HasInk(ResourcePixmap(id))) << id;
    for (const int edge : {16, 24, 32, 48}) {
      const QPixmap shown = ResourceIcon(id).pixmap(QSize(edge, edge));
      EXPECT_EQ(shown.size(), QSize(edge, edge)) << id << " at " << edge;
      EXPECT_TRUE(HasInk(shown)) << id << " at " << edge;
    }
  }
}

TEST_F(ResourceIconsTest, TheApplicationIconOffersEverySizeTheDesktopAsksFor) {
  const QList<QSize> sizes = ResourceIcon(kAppIcon).availableSizes();
  for (const int edge : {16, 22, 24, 32, 48, 64, 128, 256}) {
    EXPECT_TRUE(sizes.contains(QSize(edge, edge))) << edge;
    EXPECT_EQ(ResourceIcon(kAppIcon).pixmap(QSize(edge, edge)).size(), QSize(edge, edge)) << edge;
  }
  // A size between two pictures is made from the larger one, never enlarged.
  EXPECT_EQ(ResourceIcon(kAppIcon).pixmap(QSize(40, 40)).size(), QSize(40, 40));
  EXPECT_EQ(ResourceIcon(kAppIcon).pixmap(QSize(512, 512)).size(), QSize(256, 256));
}

TEST_F(ResourceIconsTest, ADisabledIconLooksUnlikeTheNormalOneAndLeavesItAsItWas) {
  const QIcon icon = ResourceIcon(161);
  const QSize own = ResourceIconSize(161);
  const QImage before = icon.pixmap(own).toImage();
  const QImage disabled = icon.pixmap(own, QIcon::Disabled).toImage();
  EXPECT_EQ(disabled.size(), own);
  EXPECT_NE(disabled, before);
  EXPECT_EQ(icon.pixmap(own).toImage(), before);
}

TEST_F(ResourceIconsTest, AnUnknownIdHasNoIcon) {
  EXPECT_TRUE(ResourceIcon(9999).isNull());
  EXPECT_TRUE(ResourceIconSize(9999).isEmpty());
  EXPECT_TRUE(ResourcePixmap(9999).isNull());
}

// Guessing a picture's format asks every image-format plugin installed, which
// loads each one (and its libraries) into the program.
TEST_F(ResourceIconsTest, ReadingTheIconsLoadsNoImageFormatPlugin) {
  ASSERT_EQ(ImagePluginsLoaded(), 0);
  for (const int id : kIconIds) {
    ResourcePixmap(id);
    ResourceIcon(id).pixmap(QSize(48, 48));
  }
  EXPECT_EQ(ImagePluginsLoaded(), 0);
}
