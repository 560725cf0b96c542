#include "book_fixture.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QLabel>

using namespace pb;
using namespace pbtest;

class AttachTest : public BookFixture {
protected:
    QString folder(const QString& name = {}) const {
        return appDir() + QStringLiteral("Dorvane2DataBaseAttachments") +
               (name.isEmpty() ? QString() : QLatin1Char('/') + name);
    }
    QByteArray index() const {
        return readFile(appDir() + QStringLiteral("Dorvane2DataBaseAttachmentsRef.att"));
    }
    // A file somewhere outside the book's folders.
    QString outside(const QString& name, const QByteArray& bytes) const {
        const QString dir = tmp.path() + QStringLiteral("/music");
        QDir().mkpath(dir);
        writeFile(dir + QLatin1Char('/') + name, bytes);
        return dir + QLatin1Char('/') + name;
    }
    // A real picture, so the record shows it once saved.
    QString picture(const QString& path) const {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QImage img(8, 8, QImage::Format_RGB32);
        img.fill(Qt::blue);
        EXPECT_TRUE(img.save(path));
        return path;
    }
    void attach(const QString& path) {
        prompts->expectFileDialog(path);
        d->mnuAttach_Click();
    }
    static QByteArray entry(const char* number, const char* sound, const char* movie, const char* misc) {
        const auto pad = [](const char* s, int w) -> QByteArray {
            QByteArray b(s);
            return b + QByteArray(w - b.size(), ' ');
        };
        return pad("OK", 3) + pad(number, 5) + pad(sound, 60) + pad(movie, 60) + pad(misc, 60);
    }
    bool shown(const char* item) const { return d->action(QString::fromLatin1(item))->isVisible(); }
    bool enabled(const char* item) const { return d->action(QString::fromLatin1(item))->isEnabled(); }
    Data* openFive() { return open({{"A"}, {"B"}, {"C"}, {"D"}, {"E"}}); }
};

TEST_F(AttachTest, SoundsMoviesAndOtherFilesAreCopiedThenRecordedInTheIndex) {
    openFive();
    show(4);
    attach(outside(QStringLiteral("Song.MP3"), "first song"));
    EXPECT_EQ(readFile(folder(QStringLiteral("Song.MP3"))), QByteArray("first song"));
    EXPECT_EQ(index(), entry("4", "Song.MP3", "", ""));

    attach(outside(QStringLiteral("Other.wav"), "second song"));
    attach(outside(QStringLiteral("data.dat.txt"), "a movie by its name"));
    attach(outside(QStringLiteral("notes.doc"), "words"));
    EXPECT_EQ(index(), entry("4", "Other.wav", "data.dat.txt", "notes.doc"));
    EXPECT_EQ(readFile(folder(QStringLiteral("Song.MP3"))), QByteArray("first song")); // stays in the folder
    EXPECT_EQ(file(), bookBytes({{"A"}, {"B"}, {"C"}, {"D"}, {"E"}}));

    show(1);
    prompts->expectCancel(ScriptedPrompts::Kind::Open);
    d->mnuAttach_Click();
    EXPECT_EQ(index(), entry("4", "Other.wav", "data.dat.txt", "notes.doc"));
}

TEST_F(AttachTest, TheBlankSlotTakesNoAttachmentUntilItIsSaved) {
    openFive();
    show(6);
    for (int i = 0; i < 2; ++i)
        prompts->expect(QStringLiteral("Save the new record before attaching a file to it."), Exclamation,
                        QStringLiteral("Cannot Attach File"), mb::OK);
    d->mnuAttach_Click();
    d->txtInfo[0]->setText(QStringLiteral("F"));
    d->mnuAttach_Click(); // typed but not saved yet
    EXPECT_EQ(index().size(), 0);
    EXPECT_FALSE(QFileInfo::exists(folder()));
    d->AddIt();
    attach(outside(QStringLiteral("f.wav"), "f"));
    EXPECT_EQ(index(), entry("6", "f.wav", "", ""));
}

TEST_F(AttachTest, APictureGoesIntoTheRecordAndNotIntoTheIndex) {
    openFive();
    show(2);
    attach(picture(tmp.path() + QStringLiteral("/pictures/tune.wav.jpg")));
    EXPECT_EQ(recordAt(file(), 2), recordBytes({"B", "", "", "", "", "", "tune.wav.jpg"}));
    EXPECT_EQ(box(7), QStringLiteral("tune.wav.jpg"));
    EXPECT_FALSE(d->imgPreview->pixmap().isNull());
    EXPECT_EQ(index().size(), 0);
}

TEST_F(AttachTest, AFailedCopyIsToldAndRecordsNothing) {
    openFive();
    show(3);
    prompts->expect({}, 18, QStringLiteral("ERROR53 File not found"), mb::Abort);
    attach(tmp.path() + QStringLiteral("/gone.wav"));
    prompts->expect({}, 18, QStringLiteral("ERROR53 File not found"), mb::Abort);
    attach(tmp.path() + QStringLiteral("/gone.jpg"));
    EXPECT_EQ(index().size(), 0);
    EXPECT_EQ(file(), bookBytes({{"A"}, {"B"}, {"C"}, {"D"}, {"E"}}));
    EXPECT_TRUE(QDir(folder()).isEmpty());
}

TEST_F(AttachTest, NamesThatWouldBeCutOrChangedAreRefusedWithTheReason) {
    openFive();
    show(1);
    const QString sixtyOne = QString(57, QLatin1Char('x')) + QStringLiteral(".wav");
    for (const QString& name : {sixtyOne, QStringLiteral("Песня.mp3"), QStringLiteral("back\\slash.jpg")}) {
        prompts->expect({}, Exclamation, QStringLiteral("Cannot Attach File"), mb::OK);
        attach(outside(name, "x"));
        EXPECT_TRUE(prompts->shown.back().prompt.contains(name));
    }
    EXPECT_TRUE(prompts->shown[0].prompt.contains(QStringLiteral("longer than 60 characters")));
    EXPECT_FALSE(QFileInfo::exists(folder()));
    EXPECT_EQ(index().size(), 0);

    const QString sixty = QString(56, QLatin1Char('x')) + QStringLiteral(".wav");
    attach(outside(sixty, "fits"));
    ASSERT_TRUE(m().AttachRef->getAttachedFiles(1));
    EXPECT_EQ(m().AttachRef->SoundAttachment(), sixty);
}

TEST_F(AttachTest, AnotherFileOfTheSameNameIsReplacedOnlyWhenTheUserSaysSo) {
    openFive();
    show(1);
    attach(outside(QStringLiteral("song.wav"), "Ann's song"));
    const QString question =
        QStringLiteral("A different file named song.wav is already in the attachments folder of "
                       "this phonebook.\r\nIt may be attached to another record.\r\n"
                       "Replace it with the file you chose?");
    show(2);
    const QString other = tmp.path() + QStringLiteral("/other");
    QDir().mkpath(other);
    writeFile(other + QStringLiteral("/song.wav"), "Bob's song");
    prompts->expect(question, 36, QStringLiteral("Replace Attachment"), mb::No);
    attach(other + QStringLiteral("/song.wav"));
    EXPECT_EQ(readFile(folder(QStringLiteral("song.wav"))), QByteArray("Ann's song"));
    EXPECT_EQ(index(), entry("1", "song.wav", "", ""));

    // The same bytes, or the very file in the folder, need no question and no copy.
    show(3);
    attach(outside(QStringLiteral("song.wav"), "Ann's song"));
    show(4);
    attach(folder(QStringLiteral("song.wav")));
    EXPECT_EQ(index(), entry("1", "song.wav", "", "") + entry("3", "song.wav", "", "") +
                           entry("4", "song.wav", "", ""));

    show(2);
    prompts->expect(question, 36, QStringLiteral("Replace Attachment"), mb::Yes);
    attach(other + QStringLiteral("/song.wav"));
    EXPECT_EQ(readFile(folder(QStringLiteral("song.wav"))), QByteArray("Bob's song"));
    EXPECT_EQ(index().right(188), entry("2", "song.wav", "", ""));
}

TEST_F(AttachTest, TheFileMenuOffersOnlyWhatTheShownRecordHas) {
    open({});
    d->mnuFile_Click();
    EXPECT_FALSE(enabled("mnuNew"));
    EXPECT_FALSE(enabled("mnuAttach"));
    EXPECT_FALSE(enabled("mnuLoadAttachment"));
    Forms::unload(d);
    Forms::flushDeleted();

    std::vector<Rec> twelve(12, Rec{"Someone"});
    open(twelve);
    m().AttachRef->AttachToRecord(1, QStringLiteral("one.wav"), 1);
    show(1);
    d->mnuFile_Click();
    EXPECT_TRUE(enabled("mnuAttach"));
    EXPECT_TRUE(enabled("mnuLoadAttachment"));
    EXPECT_TRUE(shown("mnuSoundAtt"));
    EXPECT_FALSE(shown("mnuMovieAtt"));
    EXPECT_FALSE(shown("mnuFileAtt"));
    EXPECT_FALSE(shown("mnuRemoveAttachment"));

    show(12); // "12" is not "1"
    d->mnuFile_Click();
    EXPECT_TRUE(enabled("mnuAttach"));
    EXPECT_FALSE(enabled("mnuLoadAttachment"));
    EXPECT_FALSE(shown("mnuSoundAtt"));

    show(13); // the blank slot
    d->mnuFile_Click();
    EXPECT_FALSE(enabled("mnuAttach"));
    EXPECT_FALSE(enabled("mnuLoadAttachment"));
}

TEST_F(AttachTest, AnAttachmentOpensFromTheFolderAndNeverFromOutsideIt) {
    openFive();
    show(1);
    attach(outside(QStringLiteral("notes.doc"), "words"));
    // An index written elsewhere, with a name that climbs out of the folder.
    writeFile(appDir() + QStringLiteral("Dorvane2DataBaseAttachmentsRef.att"),
              index() + entry("2", "", "", "../Dorvane2DataBase.q7B") + entry("3", "/etc/passwd", "", ""));
    d->mnuFile_Click();
    d->mnuFileAtt_Click();
    EXPECT_EQ(shell->opened, QStringList{folder(QStringLiteral("notes.doc"))});

    for (int n : {2, 3}) {
        show(n);
        d->mnuFile_Click();
        d->mnuFileAtt_Click();
        d->mnuSoundAtt_Click();
    }
    EXPECT_EQ(shell->opened.size(), 1);
    EXPECT_EQ(m().names().databaseFile(), book()); // nothing reloaded
}

TEST_F(AttachTest, RemovingTheAttachmentClearsOnlyThePictureName) {
    open({{"Ann", "", "", "", "", "", "ann.jpg"}, {"Bob"}});
    const QByteArray pictureBytes = readFile(picture(folder(QStringLiteral("ann.jpg"))));
    m().AttachRef->AttachToRecord(1, QStringLiteral("ann.wav"), 1);
    const QByteArray idx = index();
    show(1);
    prompts->expect(QStringLiteral("Delete the attachment to this record?"), 36,
                    QStringLiteral("Attachment Deletion"), mb::No);
    d->mnuRemoveAttachment_Click();
    EXPECT_EQ(recordAt(file(), 1), recordBytes({"Ann", "", "", "", "", "", "ann.jpg"}));

    prompts->expect(QStringLiteral("Delete the attachment to this record?"), 36,
                    QStringLiteral("Attachment Deletion"), mb::Yes);
    d->mnuRemoveAttachment_Click();
    EXPECT_EQ(recordAt(file(), 1), recordBytes({"Ann"}));
    EXPECT_EQ(index(), idx);
    EXPECT_EQ(readFile(folder(QStringLiteral("ann.jpg"))), pictureBytes);
}

TEST_F(AttachTest, IndexEntriesKeepTheirNumbersWhenRecordsMove) {
    openFive();
    m().AttachRef->AttachToRecord(4, QStringLiteral("four.wav"), 1);
    show(3);
    d->Delete();
    show(4);
    EXPECT_EQ(box(0), QStringLiteral("E"));
    ASSERT_TRUE(m().AttachRef->getAttachedFiles(4));
    EXPECT_EQ(m().AttachRef->SoundAttachment(), QStringLiteral("four.wav"));
}
