// The find box with its search options, and the record-number box.
#include "data/module_phonebook.h"
#include "phonebook/data.h"
#include "platform/prompts.h"
#include "platform/vb_convert.h"
#include "workspace/error_steps.h"
#include "workspace/module_services.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>

namespace pb {

namespace {

// The seven captioned boxes and their fields.
constexpr PhoneRecord::Field kCaptionedFields[7] = {
    PhoneRecord::FirstName, PhoneRecord::LastName, PhoneRecord::Phone,   PhoneRecord::EMail,
    PhoneRecord::Company,   PhoneRecord::Address,  PhoneRecord::Comments};

// Hands the focus, key and click events of the two boxes to the window's handlers.
class BoxEvents : public QObject {
public:
    explicit BoxEvents(Data* owner) : QObject(owner), m_owner(owner) {}

protected:
    // The focus coming back from a closed menu or message box, or from another
    // window, is not the user going to the box: Find Next must go on from its hit.
    static bool wentToBox(QEvent* event) {
        const Qt::FocusReason r = static_cast<QFocusEvent*>(event)->reason();
        return r != Qt::PopupFocusReason && r != Qt::ActiveWindowFocusReason;
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_owner->txtFind) {
            if (event->type() == QEvent::FocusIn && wentToBox(event)) m_owner->txtFind_GotFocus();
        } else if (watched == m_owner->txtRecord) {
            switch (event->type()) {
            case QEvent::FocusIn:
                if (wentToBox(event)) m_owner->txtRecord_GotFocus();
                break;
            case QEvent::KeyRelease: {
                // One release per key: a held key's repeats are not releases of it.
                auto* k = static_cast<QKeyEvent*>(event);
                if (k->isAutoRepeat()) break;
                int shift = 0;
                if (k->modifiers() & Qt::ShiftModifier) shift |= 1;
                if (k->modifiers() & Qt::ControlModifier) shift |= 2;
                if (k->modifiers() & Qt::AltModifier) shift |= 4;
                m_owner->txtRecord_KeyUp(k->key(), shift);
                break;
            }
            case QEvent::MouseButtonRelease:
                if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) m_owner->txtRecord_Click();
                break;
            default:
                break;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    Data* m_owner;
};

} // namespace

QString Data::shownField(const PhoneRecord& r, PhoneRecord::Field f) {
    QString t = r.trimmed(f);
    const qsizetype nul = t.indexOf(QChar(0));
    if (nul >= 0) t.truncate(nul);
    return t;
}

void Data::connectFindControls() {
    auto* events = new BoxEvents(this);
    txtFind->installEventFilter(events);
    txtRecord->installEventFilter(events);
    connect(txtFind, &QLineEdit::textChanged, this, [this] { txtFind_Change(); });
    connect(OptFirst, &QRadioButton::clicked, this, [this] { OptFirst_Click(); });
    connect(OptLast, &QRadioButton::clicked, this, [this] { OptLast_Click(); });
    connect(OptEmail, &QRadioButton::clicked, this, [this] { OptEmail_Click(); });
}

void Data::FindRecord(const QString& text) {
    if (text.isEmpty() || text == QLatin1String(" ")) return;
    ModulePhoneBook& m = pbm();
    Steps step(OnError::Ignore);
    RememberedRecord = m.current;
    bool go = true;
    step([&] { go = CheckChanges(); });
    // The user wanted the edits saved and they could not be: stay on them.
    if (!go) return;

    PhoneRecord::Field field;
    if (OptFirst->isChecked())
        field = PhoneRecord::FirstName;
    else if (OptLast->isChecked())
        field = PhoneRecord::LastName;
    else if (OptEmail->isChecked())
        field = PhoneRecord::EMail;
    else
        return;

    // The book is scanned in memory; a book that cannot be read finds nothing.
    int hit = 0;
    step([&] {
        hit = findPrefix(m_bookImage.bytes(m.database()), field, text, LastFoundRecord + 1, m.RecordCount);
    });
    if (hit == 0) {
        step([&] { m.readRecord(RememberedRecord); });
        m.current = RememberedRecord;
        step([&] { ToDisplay(); });
        MsgBox(QStringLiteral("No Available Records!"), mb::OKOnly | mb::Information,
               QStringLiteral("Search Result"));
        return;
    }
    step([&] { m.readRecord(hit); });
    m.current = hit;
    LastFoundRecord = hit;
    step([&] { ToDisplay(); });
}

void Data::txtFind_Change() {
    LastFoundRecord = 0;
    FindRecord(txtFind->text());
}

void Data::txtFind_GotFocus() {
    LastFoundRecord = 0;
    txtFind->update();
}

void Data::searchOption_Click() {
    Steps step(OnError::Ignore);
    step([] { playSound(sound::SearchOption); });
    step([&] { txtFind->setFocus(); });
    LastFoundRecord = 0;
    step([&] { FindRecord(txtFind->text()); });
}

void Data::mnuFind_Click() {
    // An answer equal to the box's text changes nothing, so it starts no search.
    txtFind->setText(InputBox(QStringLiteral("Type Keyword To Find"), QStringLiteral("Find")));
}

void Data::mnuFindNext_Click() {
    FindRecord(txtFind->text());
}

void Data::txtRecord_GotFocus() {
    RememberedRecord = pbm().current;
}

void Data::txtRecord_Click() {
    const int caret = txtRecord->cursorPosition();
    txtRecord->setSelection(caret, static_cast<int>(txtRecord->text().size()) - caret);
    txtRecord->setFocus();
}

void Data::txtRecord_KeyUp(int KeyCode, int Shift) {
    Q_UNUSED(KeyCode);
    Q_UNUSED(Shift);
    ModulePhoneBook& m = pbm();
    // The boxes hold the record on display: only that record is compared and saved,
    // whatever record the box remembers.
    const int shown = m.current;
    int r = RememberedRecord;
    // A remembered record the book no longer holds is no place to return to.
    if (r < 1 || r > m.RecordCount + 1) r = shown;
    try {
        bool changed = false;
        if (shown > m.RecordCount) {
            for (int i = 0; i < 7 && !changed; ++i)
                changed = !txtInfo[i]->text().isEmpty();
        } else {
            m.readRecord(shown);
            for (int i = 0; i < 7 && !changed; ++i)
                changed = shownField(m.Rec, kCaptionedFields[i]) != txtInfo[i]->text();
        }
        if (changed && MsgBox(QStringLiteral("Do you want to save changes?"), mb::YesNo | mb::Question,
                              QStringLiteral("Record ") + convert::signPlace(shown) +
                                  QStringLiteral(" Modified!")) == mb::Yes) {
            FieldsToRecord();
            // A save that failed keeps the user on the record with the edits.
            if (!tryWrite([&] { m.writeRecord(shown); })) return;
            if (shown > m.RecordCount) m.RecordCount += 1;
            FillRecordList();
        }
        const int n = convert::toInt16(txtRecord->text());
        if (n > m.RecordCount) {
            MsgBox(QStringLiteral("There are only ") + convert::signPlace(m.RecordCount) +
                       QStringLiteral(" records"),
                   mb::OKOnly | mb::Information, QStringLiteral("X"));
        } else if (n < 1) {
            MsgBox(QStringLiteral("Records begin with number 1"), mb::OKOnly | mb::Information,
                   QStringLiteral("X"));
        } else {
            m.current = n;
            m.readRecord(n);
            RememberedRecord = n;
            ToDisplay();
            return;
        }
    } catch (const VbError&) {
        MsgBox(QStringLiteral("Please enter a valid number"), mb::OKOnly | mb::Critical,
               QStringLiteral("ERROR!"));
    }
    // Back to the remembered record.
    Steps step(OnError::Ignore);
    step([&] { m.readRecord(r); });
    m.current = r;
    RememberedRecord = r;
    step([&] { ToDisplay(); });
}

} // namespace pb
