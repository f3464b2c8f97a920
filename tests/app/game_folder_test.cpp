#include "app/game_folder.h"
#include "platform/game_files.h"
#include "platform/resource_module.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(GameFolders, InstalledRunsInThePlayersFolderAndReadsWhatItLacksFromTheDataFolderPortableRunsBesideTheStyle) {
    QTemporaryDir root;
    const QString shipped = root.filePath("usr/share/quorvel");
    QDir().mkpath(root.filePath("usr/bin"));
    QDir().mkpath(shipped);
    QFile::copy(QUORVEL_GAME_DIR "/standard highcolor.lvr", shipped + "/standard highcolor.lvr");
    QFile::copy(QUORVEL_GAME_DIR "/Help.hlp", shipped + "/Help.hlp");
    qputenv("XDG_DATA_HOME", QFile::encodeName(root.filePath("home/data")));
    const QString previous_directory = QDir::currentPath();

    const GameFolders installed = find_game_folders(root.filePath("usr/bin"), "../share/quorvel");
    EXPECT_EQ(installed.working, root.filePath("home/data/quorvel"));
    EXPECT_EQ(installed.shipped, shipped);
    ASSERT_TRUE(enter_game_folders(installed));
    EXPECT_EQ(QDir::currentPath(), installed.working);
    const std::unique_ptr<ResourceModule> style = ResourceModule::open("Standard HighColor.lvr");
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(style->file_path(), shipped + "/standard highcolor.lvr");
    EXPECT_EQ(game_file("Help.hlp"), shipped + "/Help.hlp");
    EXPECT_EQ(game_file("posted.txt"), "posted.txt");
    QFile own_help("Help.hlp");  // what the player's folder holds comes first
    ASSERT_TRUE(own_help.open(QIODevice::WriteOnly));
    EXPECT_EQ(game_file("Help.hlp"), "Help.hlp");
    for (const char* addon : {"Ours.lvr", "Both.lvr"}) QFile(shipped + "/" + addon).open(QIODevice::WriteOnly);
    QFile("both.lvr").open(QIODevice::WriteOnly);  // the player's copy hides the shipped one
    QStringList styles = list_game_files("*.lvr");
    styles.sort();
    EXPECT_EQ(styles, QStringList({"Ours.lvr", "both.lvr", "standard highcolor.lvr"}));

    QFile::copy(QUORVEL_GAME_DIR "/standard highcolor.lvr", root.filePath("usr/bin/standard highcolor.lvr"));
    const GameFolders portable = find_game_folders(root.filePath("usr/bin"), "../share/quorvel");
    EXPECT_EQ(portable.working, root.filePath("usr/bin"));
    EXPECT_TRUE(portable.shipped.isEmpty());

    set_shipped_folder({});
    QDir::setCurrent(previous_directory);
}
