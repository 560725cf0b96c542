// Showing records, the change check, the record list and the moves.
#include "data/module_phonebook.h"
#include "phonebook/data.h"
#include "platform/picture_file.h"
#include "platform/prompts.h"
#include "platform/vb_convert.h"
#include "workspace/error_steps.h"
#include "workspace/module_services.h"

#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QScopedValueRollback>

namespace pb {

namespace {

constexpr PhoneRecord::Field kBoxFields[8] = {
    PhoneRecord::FirstName, PhoneRecord::LastName, PhoneRecord::Phone,    PhoneRecord::EMail,
    PhoneRecord::Company,   PhoneRecord::Address,  PhoneRecord::Comments, PhoneRecord::PictureFile};

// A picture name from the book names a file inside the attachments folder and nothing else.
bool isPlainFileName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           name != QLatin1String(".") && name != QLatin1String("..") && !name.contains(QChar(0));
}

} // namespace

void Data::ToDisplay() {
    ModulePhoneBook& m = pbm();
    for (int i = 0; i < 8; ++i)
        txtInfo[i]->setText(shownField(m.Rec, kBoxFields[i]));
    txtRecord->setText(QString::number(m.current));
    setCaption();
    highlightShown();
    showPicture();
}

void Data::highlightShown() {
    const QScopedValueRollback quiet(m_quietList, true);
    const int row = pbm().current - 1;
    if (row >= 0 && row < lstRecordModel->rowCount())
        lstRecord->setCurrentIndex(lstRecordModel->index(row));
    else
        lstRecord->selectionModel()->clear();
}

void Data::showPicture() {
    ModulePhoneBook& m = pbm();
    const QString name = m.Rec.trimmed(PhoneRecord::PictureFile);
    if (name.isEmpty() || m.RecordCount == 0 || m.current > m.RecordCount) {
        txtForMail[2]->clear();
        imgPreview->clear();
        return;
    }
    txtForMail[2]->setText(QStringLiteral("> ") + name);
    picContainer->raise();
    Steps step(OnError::StandardCancelRule);
    step([&] {
        const QString file = m.names().attachmentsFolder() + QLatin1Char('/') + name;
        // A missing picture clears the preview: the last one shown belongs to another contact.
        if (!isPlainFileName(name) || !QFileInfo::exists(file)) {
            imgPreview->clear();
            return;
        }
        QImage image;
        try {
            image = readPicture(file, PictureView::within(imgPreview->size()));
        } catch (const VbError&) {
            imgPreview->clear();
            throw;
        }
        imgPreview->setPixmap(QPixmap::fromImage(
            image.scaled(imgPreview->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    });
}

void Data::FieldsToRecord() {
    ModulePhoneBook& m = pbm();
    for (int i = 0; i < 8; ++i)
        m.Rec.set(kBoxFields[i], txtInfo[i]->text());
}

bool Data::CheckChanges() {
    ModulePhoneBook& m = pbm();
    if (locked || !m.DatabaseFile) return true;
    try {
        bool changed = false;
        if (m.current <= m.RecordCount) {
            m.readRecord(m.current);
            for (int i = 0; i < 7 && !changed; ++i)
                changed = shownField(m.Rec, kBoxFields[i]) != txtInfo[i]->text();
        } else {
            for (int i = 0; i < 7 && !changed; ++i)
                changed = !txtInfo[i]->text().isEmpty();
        }
        if (!changed) return true;
        const int answer =
            MsgBox(QStringLiteral("Do you want to save changes?"), mb::YesNo | mb::Question,
                   QStringLiteral("Record ") + convert::signPlace(m.current) + QStringLiteral(" Modified!"));
        // A refused save keeps the user on the record with the edits intact.
        if (answer == mb::Yes) return AddIt();
    } catch (const VbError&) {
        // The check ends silently on an error.
    }
    return true;
}

void Data::FillRecordList() {
    ModulePhoneBook& m = pbm();
    Steps step(OnError::Ignore);
    step([&] {
        // One read of the whole book; the lines are made as the list shows them.
        const QScopedValueRollback quiet(m_quietList, true);
        lstRecordModel->setBook(m.database().readRange(1, m.RecordCount), m.RecordCount, m.SortedByLastName);
    });
    step([&] { m.readRecord(m.current); });
    step([&] { highlightShown(); });
}

void Data::MovePrevious() {
    ModulePhoneBook& m = pbm();
    const int target = m.current - 1;
    if (!CheckChanges()) return;
    if (target < 1) {
        MsgBox(QStringLiteral("This is the first record!"), mb::Information,
               QStringLiteral("Can't Move Back..."));
        return;
    }
    try {
        m.readRecord(target);
        m.current = target;
        ToDisplay();
    } catch (const VbError&) {
        MsgBox(QStringLiteral("This is the first record!"), mb::Information,
               QStringLiteral("Can't Move Back..."));
    }
}

void Data::MoveLast() {
    ModulePhoneBook& m = pbm();
    if (!CheckChanges()) return;
    const int target = m.RecordCount;
    const auto noEnd = [] {
        MsgBox(QStringLiteral("NO END RECORD\rPossible cause: Phonebook database empty!"), mb::Information,
               QStringLiteral("!"));
    };
    if (target < 1) {
        noEnd();
        return;
    }
    try {
        m.readRecord(target);
        m.current = target;
        ToDisplay();
    } catch (const VbError&) {
        noEnd();
    }
}

void Data::MoveFirst() {
    ModulePhoneBook& m = pbm();
    Steps step(OnError::Ignore);
    bool go = true;
    step([&] { go = CheckChanges(); });
    if (!go) return;
    step([&] { m.readRecord(1); });
    step([&] { m.current = 1; });
    step([&] { ToDisplay(); });
}

void Data::MoveNext() {
    ModulePhoneBook& m = pbm();
    try {
        const int n = m.current;
        if (!CheckChanges()) return;
        if (n <= m.RecordCount) {
            m.readRecord(n + 1);
            m.current = n + 1;
            ToDisplay();
        } else {
            MsgBox(QStringLiteral("Add a new record here\r\nPress 'Save Changes' to save"), mb::Information,
                   QStringLiteral("Can't Move Next..."));
        }
    } catch (const VbError&) {
    }
}

void Data::Form_KeyDown(int KeyCode, int Shift) {
    if (Shift != 1) return;
    switch (KeyCode) {
    case 37:
        MovePrevious();
        break;
    case 38:
        MoveLast();
        break;
    case 39:
        MoveNext();
        break;
    case 40:
        MoveFirst();
        break;
    default:
        break;
    }
}

void Data::lstRecord_Click() {
    ModulePhoneBook& m = pbm();
    Steps step(OnError::Ignore);
    step([] { playSound(sound::ListPick); });
    step([&] { m.SelectedListRecord = lstRecord->currentIndex().row() + 1; });
    step([&] { m.readRecord(m.current); });
    bool go = true;
    step([&] { go = CheckChanges(); });
    if (!go) {
        // Stay on the edited record, and show it as the one picked.
        highlightShown();
        return;
    }
    step([&] { m.readRecord(m.SelectedListRecord); });
    step([&] { m.current = m.SelectedListRecord; });
    step([&] { ToDisplay(); });
}

} // namespace pb
