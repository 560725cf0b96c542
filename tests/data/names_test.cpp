#include "data/database_names.h"

#include <gtest/gtest.h>

using namespace pb;

TEST(DatabaseNames, BothFormsGiveTheSameFiles) {
    const DatabaseNames opened{QStringLiteral("/books"), QStringLiteral("/Home.Q7B")};
    EXPECT_EQ(opened.databaseFile(), QStringLiteral("/books/Home.Q7B"));
    EXPECT_EQ(opened.base(), QStringLiteral("/Home"));
    EXPECT_EQ(opened.settingsFile(), QStringLiteral("/books/Home.set"));
    EXPECT_EQ(opened.attachmentIndexFile(), QStringLiteral("/books/HomeAttachmentsRef.att"));
    EXPECT_EQ(opened.attachmentsFolder(), QStringLiteral("/books/HomeAttachments"));

    const DatabaseNames stored{QStringLiteral("/books/"), QStringLiteral("Home.q7b")};
    EXPECT_EQ(stored.databaseFile(), QStringLiteral("/books/Home.q7b"));
    EXPECT_EQ(stored.settingsFile(), QStringLiteral("/books/Home.set"));
    EXPECT_EQ(stored.attachmentsFolder(), QStringLiteral("/books/HomeAttachments"));
}

TEST(DatabaseNames, OnlyTheExtensionIsTakenOffNeverPartOfTheName) {
    // A companion must never be the database itself.
    const DatabaseNames bare{QStringLiteral("/b/"), QStringLiteral("Home")};
    EXPECT_EQ(bare.settingsFile(), QStringLiteral("/b/Home.set"));
    const DatabaseNames inner{QStringLiteral("/my.q7b.files/"), QStringLiteral("old.q7b.copy.q7B")};
    EXPECT_EQ(inner.settingsFile(), QStringLiteral("/my.q7b.files/old.q7b.copy.set"));
    EXPECT_NE(inner.settingsFile(), inner.databaseFile());
}

TEST(DatabaseNames, APathOpenedByNameKeepsItsFolderEvenAtTheRoot) {
    const DatabaseNames n = namesForPath(QStringLiteral("/home/me/Books/Home.q7b"));
    EXPECT_EQ(n.path, QStringLiteral("/home/me/Books"));
    EXPECT_EQ(n.name, QStringLiteral("/Home.q7b"));
    const DatabaseNames root = namesForPath(QStringLiteral("/book.q7b"));
    EXPECT_EQ(root.path, QStringLiteral("/"));
    EXPECT_EQ(root.name, QStringLiteral("book.q7b"));
    EXPECT_EQ(root.databaseFile(), QStringLiteral("/book.q7b"));
    EXPECT_EQ(root.settingsFile(), QStringLiteral("/book.set"));
}
