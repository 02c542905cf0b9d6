// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/apperror.h"
#include "app/phonemessage.h"

#include <QTest>

using namespace Telvora;

namespace {

/// A store that serves note texts from a table and counts what it is asked.
class FakeStore final : public App::MessageStore
{
public:
    QHash<QString, QString> texts;
    QStringList refusedDeletes;
    int fetches = 0;
    QStringList deleted;
    QList<QStringList> updates;

    QString GetNoteText(const QString &id) override
    {
        ++fetches;
        return texts.value(id);
    }
    bool DeleteMailMessage(const QString &id) override
    {
        if (refusedDeletes.contains(id))
            return false;
        deleted.append(id);
        return true;
    }
    bool UpdateMailMessage(const QString &id, const QString &subject, const QString &text) override
    {
        updates.append({id, subject, text});
        return true;
    }
};

template<typename Operation> void verifyReadOnly(Operation operation, const QString &description)
{
    try {
        operation();
        QFAIL("no error raised");
    } catch (const App::AppError &error) {
        QCOMPARE(error.number(), -2147211504L);
        QCOMPARE(error.description(), description);
    }
}

} // namespace

class PhoneMessageTest : public QObject
{
    Q_OBJECT
private slots:
    void receivedStampIsSplit_data()
    {
        QTest::addColumn<QString>("stamp");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::newRow("afternoon") << "1996/05/17 14:05"
                                   << "05/17/96"
                                   << "2:05P";
        QTest::newRow("morning") << "2026/12/01 09:30"
                                 << "12/01/26"
                                 << "9:30A";
        QTest::newRow("midnight") << "2026/12/01 00:07"
                                  << "12/01/26"
                                  << "12:07A";
        QTest::newRow("noon") << "2026/12/01 12:00"
                              << "12/01/26"
                              << "12:00P";
        QTest::newRow("with seconds") << "2026/12/01 23:59:30"
                                      << "12/01/26"
                                      << "11:59P";
        QTest::newRow("hour out of range") << "2026/12/01 25:00"
                                           << "12/01/26"
                                           << "25:00";
        QTest::newRow("one-digit minutes") << "2026/12/01 9:5"
                                           << "12/01/26"
                                           << "9:5";
        QTest::newRow("no time") << "1996/05/17"
                                 << "05/17/96"
                                 << "";
        QTest::newRow("not a stamp") << "17"
                                     << "//"
                                     << "";
        QTest::newRow("empty") << ""
                               << "//"
                               << "";
    }
    void receivedStampIsSplit()
    {
        QFETCH(QString, stamp);
        QFETCH(QString, date);
        QFETCH(QString, time);
        FakeStore store;
        App::Message message(store);
        message.setDateTimeReceived(stamp);
        QCOMPARE(message.DateTimeReceived(), stamp);
        QCOMPARE(message.DateReceived(), date);
        QCOMPARE(message.TimeReceived(), time);
    }

    void readOnlyMembersRaise()
    {
        FakeStore store;
        App::Message message(store);
        message.setID(QStringLiteral("first"));
        message.setDateTimeReceived(QStringLiteral("1996/05/17 14:05"));
        verifyReadOnly([&] { message.setID(QStringLiteral("second")); },
                       QStringLiteral("This Property is Read Only"));
        verifyReadOnly([&] { message.setDateReceived(QStringLiteral("x")); },
                       QStringLiteral("The DateReceived Property is Read Only"));
        verifyReadOnly([&] { message.setTimeReceived(QStringLiteral("x")); },
                       QStringLiteral("The TimeReceived Property is Read Only"));
        QCOMPARE(message.ID(), QStringLiteral("first"));
        QCOMPARE(message.DateReceived(), QStringLiteral("05/17/96"));
        QCOMPARE(message.TimeReceived(), QStringLiteral("2:05P"));
    }

    void noteTextIsFetchedOnceAndMarksRead()
    {
        FakeStore store;
        store.texts.insert(QStringLiteral("b"), QStringLiteral("TELVORA\r\n"));
        App::Messages messages(store);
        for (const char *id : {"a", "b", "c"})
            messages.Add(QString::fromLatin1(id), QStringLiteral("PHONE: x\t1"),
                         QStringLiteral("1996/05/17 14:05"), false, QStringLiteral("Ann"),
                         QStringLiteral("ann@localhost"));
        QCOMPARE(messages.UnreadCount(), 3);

        App::Message &message = messages.Item(QStringLiteral("b"));
        QCOMPARE(message.NoteText(), QStringLiteral("TELVORA\r\n"));
        QCOMPARE(message.NoteText(), QStringLiteral("TELVORA\r\n"));
        QCOMPARE(store.fetches, 1);
        QCOMPARE(messages.UnreadCount(), 2);

        message.setNoteText(QString());
        QCOMPARE(message.NoteText(), QStringLiteral("TELVORA\r\n"));
        message.setSubject(QStringLiteral("PHONE: y\t2"));
        QVERIFY(message.Update());
        QCOMPARE(store.updates, QList<QStringList>({{"b", "PHONE: y\t2", "TELVORA\r\n"}}));
    }

    void addKeepsOrderAndRefusesDuplicates()
    {
        FakeStore store;
        App::Messages messages(store);
        messages.Add(QStringLiteral("a"), QStringLiteral("s1"), {}, true, QStringLiteral("Ann"),
                     QStringLiteral("ann@x"));
        App::Message &second = messages.Add(QStringLiteral("b"), QStringLiteral("s2"), {}, false,
                                            QStringLiteral("Bob"), QStringLiteral("bob@x"));
        QCOMPARE(second.Sender().Name, QStringLiteral("Bob"));
        QCOMPARE(second.Sender().Address, QStringLiteral("bob@x"));
        QVERIFY_THROWS_EXCEPTION(
            App::AppError,
            messages.Add(QStringLiteral("a"), QStringLiteral("again"), {}, false, {}, {}));
        QCOMPARE(messages.Count(), 2);
        QCOMPARE(messages.Item(1).Subject(), QStringLiteral("s1"));
        QCOMPARE(messages.Item(2).ID(), QStringLiteral("b"));
        QVERIFY_THROWS_EXCEPTION(App::AppError, messages.Item(3));
        QVERIFY_THROWS_EXCEPTION(App::AppError, messages.Item(QStringLiteral("zz")));
        messages.Clear();
        QCOMPARE(messages.Count(), 0);
        QVERIFY(store.deleted.isEmpty());
    }

    void removeKeepsStoreAndCollectionInStep()
    {
        FakeStore store;
        store.refusedDeletes.append(QStringLiteral("locked"));
        App::Messages messages(store);
        for (const char *id : {"a", "locked", "c"})
            messages.Add(QString::fromLatin1(id), {}, {}, false, {}, {});

        QVERIFY(!messages.Remove(QStringLiteral("locked")));
        QCOMPARE(messages.Count(), 3);
        QVERIFY(messages.Remove(1));
        QVERIFY(messages.Remove(QStringLiteral("c")));
        QCOMPARE(store.deleted, QStringList({"a", "c"}));
        QCOMPARE(messages.Count(), 1);
        QCOMPARE(messages.Item(1).ID(), QStringLiteral("locked"));
        QVERIFY(!messages.contains(QStringLiteral("a")));
    }
};

QTEST_GUILESS_MAIN(PhoneMessageTest)
#include "tst_phonemessage.moc"
