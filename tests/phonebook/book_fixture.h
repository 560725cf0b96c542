#pragma once

#include "app_fixture.h"
#include "data/module_phonebook.h"
#include "phonebook/data.h"
#include "workspace/forms.h"

namespace pbtest {

// A phone book window on a book written byte by byte in the program folder.
class BookFixture : public AppFixture {
protected:
    pb::Data* open(const std::vector<Rec>& records, const QByteArray& tail = {}) {
        writeFile(book(), bookBytes(records) + tail);
        return d = pb::Forms::get<pb::Data>();
    }
    QString book() const { return appDir() + QStringLiteral("Dorvane2DataBase.q7B"); }
    QByteArray file() const { return readFile(book()); }
    QStringList firstNames() const {
        QStringList out;
        const QByteArray f = file();
        for (int i = 1; i <= f.size() / 440; ++i)
            out << firstNameAt(f, i);
        return out;
    }
    void show(int n) {
        pb::pbm().current = n;
        pb::pbm().readRecord(n);
        d->ToDisplay();
    }
    QString box(int i) const { return d->txtInfo[i]->text(); }
    // The refusal of an edit on a locked book, answered with OK.
    void expectLocked(const char* object) {
        prompts->expect(
            QStringLiteral("    DATABASE LOCKED!\r\nPlease Unlock To ") + QString::fromLatin1(object),
            pb::mb::Exclamation, QStringLiteral("Cannot ") + QString::fromLatin1(object), pb::mb::OK);
    }
    pb::ModulePhoneBook& m() const { return pb::pbm(); }

    pb::Data* d = nullptr;
};

} // namespace pbtest

using pb::mb::Critical;
using pb::mb::Exclamation;
using pb::mb::Information;
