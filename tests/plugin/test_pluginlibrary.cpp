// Loading the image-map plug-in: found in the first folder that has it,
// every failure told apart, and the markup always ends inside its buffer.
#include "plugin/pluginlibrary.h"
#include "support/plugintest.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(ImageMapPlugin, LoadsFromTheFirstFolderThatHasItAndNotFromAFileThatIsNoLibraryOrAFolder)
{
    CTempDir user;
    CTempDir installed;
    CImageMapPlugin plugin;
    EXPECT_EQ(plugin.Open({user.Path(), installed.Path()}), IMAGEMAP_LOAD_FAILED);

    // The user's own folder comes first: a copy without the entry there hides a good one.
    InstallPluginFile(installed.Path(), IMAGEMAP_PLUGIN, WP_FAKE_IMGMAP);
    InstallPluginFile(user.Path(), IMAGEMAP_PLUGIN, WP_FAKE_IMGMAP_NOENTRY);
    EXPECT_EQ(FindPluginFile({"", user.Path(), installed.Path()}, IMAGEMAP_PLUGIN),
              user.File(IMAGEMAP_PLUGIN));
    EXPECT_EQ(plugin.Open({user.Path(), installed.Path()}), IMAGEMAP_NO_ENTRY);
    EXPECT_EQ(plugin.Open({installed.Path(), user.Path()}), IMAGEMAP_OK);

    std::string strMarkup;
    EXPECT_EQ(plugin.Run("/pics/logo.png", strMarkup), IMAGEMAP_OK);
    EXPECT_EQ(strMarkup.substr(0, 22), "<map name=\"logo.png\">\r");
    EXPECT_EQ(plugin.Run("/pics/none.png", strMarkup), IMAGEMAP_NO_MARKUP);
    EXPECT_TRUE(strMarkup.empty());
    // A plug-in that fills its buffer to the last byte still gives a text that ends there.
    EXPECT_EQ(plugin.Run("/pics/fill.png", strMarkup), IMAGEMAP_OK);
    EXPECT_EQ(strMarkup, std::string(static_cast<std::size_t>(IMAGEMAP_BUFFER_SIZE), 'x'));

    // A file that is no library fails to load, and a folder of the name is no plug-in.
    CTempDir folder;
    WriteFileBytes(folder.File(IMAGEMAP_PLUGIN), "not a shared object");
    CImageMapPlugin broken;
    EXPECT_EQ(broken.Open({folder.Path()}), IMAGEMAP_LOAD_FAILED);
    EXPECT_EQ(broken.Run("/pics/a.png", strMarkup), IMAGEMAP_LOAD_FAILED);

    CTempDir other;
    ASSERT_EQ(mkdir(other.File(IMAGEMAP_PLUGIN).c_str(), 0700), 0);
    EXPECT_EQ(FindPluginFile({other.Path()}, IMAGEMAP_PLUGIN), "");
}
