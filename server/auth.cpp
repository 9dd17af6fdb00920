#include "auth.h"

#include "serverlog.h"
#include "storage.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include <mutex>

namespace zhpserver {

namespace {

// Runs a prepared statement; logs and fills `error` when it fails.
bool run(QSqlQuery &q, const char *what, QString *error = nullptr)
{
    if (q.exec())
        return true;
    const QString text = q.lastError().text();
    qCWarning(lcServer).noquote() << what << "failed:" << text;
    if (error)
        *error = QStringLiteral("%1 failed in the database: %2").arg(QLatin1String(what), text);
    return false;
}

// A write transaction under the storage's write lock: `body` returns false
// to roll back.
template <typename Fn>
bool transaction(Storage &storage, const char *what, QString *error, Fn body)
{
    std::lock_guard<std::mutex> lock(storage.writeMutex());
    QSqlDatabase db = storage.connection();
    if (!db.transaction()) {
        if (error)
            *error = QStringLiteral("%1: the database is not available: %2").arg(QLatin1String(what), db.lastError().text());
        return false;
    }
    // Across every server of a PostgreSQL database as well.
    if (!storage.lockWrites(db) || !body(db)) {
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        if (error)
            *error = QStringLiteral("%1 could not be stored: %2").arg(QLatin1String(what), db.lastError().text());
        db.rollback();
        return false;
    }
    return true;
}

// 32 random bytes from the system's source, in the URL-safe base64 alphabet.
QString newToken()
{
    QByteArray bytes(32, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / int(sizeof(quint32)));
    return QStringLiteral("zhp_") + QString::fromLatin1(bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

qint64 now() { return QDateTime::currentMSecsSinceEpoch(); }

} // namespace

bool Auth::isValidUserId(const QString &userId)
{
    // Any text a directory would use as a login, but nothing that hides in a log line.
    static const QRegularExpression plain(QStringLiteral("^[^\\s\\x{0}-\\x{1f}\\x{7f}]{1,64}$"), QRegularExpression::UseUnicodePropertiesOption);
    return plain.match(userId).hasMatch();
}

QString Auth::hashOf(const QString &token)
{
    return QString::fromLatin1(QCryptographicHash::hash(token.toUtf8(), QCryptographicHash::Sha256).toHex());
}

int Auth::today()
{
    const QDate d = QDate::currentDate();
    return d.year() * 10000 + d.month() * 100 + d.day();
}

bool Auth::issueToken(const QString &userId, const QStringList &editorOf, const QString &label, QString *token, QString *error)
{
    if (!isValidUserId(userId)) {
        if (error)
            *error = QStringLiteral("user id \"%1\" must be 1 to 64 characters without spaces or control characters").arg(userId.left(80));
        return false;
    }
    static const QRegularExpression productCode(QStringLiteral("^([A-Za-z0-9_.-]{1,64}|\\*)$"));
    for (const QString &product : editorOf) {
        if (!productCode.match(product).hasMatch()) {
            if (error)
                *error = QStringLiteral("product code \"%1\" must be 1 to 64 letters, digits, '_', '.' or '-', or * for every product").arg(product.left(80));
            return false;
        }
    }
    const QString fresh = newToken();
    const bool ok = transaction(m_storage, "token issue", error, [&](QSqlDatabase &db) {
        QSqlQuery q = prepared(db, QStringLiteral("SELECT COUNT(*) FROM zhp_user WHERE user_id = ?"));
        q.addBindValue(userId);
        if (!run(q, "user lookup", error))
            return false;
        if (!q.next() || q.value(0).toInt() == 0) {
            q = prepared(db, QStringLiteral("INSERT INTO zhp_user (user_id, created_at) VALUES (?, ?)"));
            q.addBindValue(userId);
            q.addBindValue(now());
            if (!run(q, "user creation", error))
                return false;
        }
        for (const QString &product : editorOf) {
            q = prepared(db, QStringLiteral("SELECT COUNT(*) FROM product_editor WHERE user_id = ? AND product_code = ?"));
            q.addBindValue(userId);
            q.addBindValue(product);
            if (!run(q, "editor lookup", error))
                return false;
            if (q.next() && q.value(0).toInt() > 0)
                continue;
            q = prepared(db, QStringLiteral("INSERT INTO product_editor (user_id, product_code) VALUES (?, ?)"));
            q.addBindValue(userId);
            q.addBindValue(product);
            if (!run(q, "editor grant", error))
                return false;
        }
        if (!label.isEmpty()) {
            q = prepared(db, QStringLiteral("DELETE FROM access_token WHERE user_id = ? AND label = ?"));
            q.addBindValue(userId);
            q.addBindValue(label);
            if (!run(q, "token replacement", error))
                return false;
        }
        q = prepared(db, QStringLiteral("INSERT INTO access_token (token_hash, user_id, label, created_at) VALUES (?, ?, ?, ?)"));
        q.addBindValue(hashOf(fresh));
        q.addBindValue(userId);
        q.addBindValue(label.isNull() ? QString(QLatin1String("")) : label);
        q.addBindValue(now());
        return run(q, "token issue", error);
    });
    if (ok) {
        *token = fresh;
        qCInfo(lcServer).noquote() << QStringLiteral("issued a token to %1%2")
                                          .arg(userId, editorOf.isEmpty() ? QString() : QStringLiteral(", editor of ") + editorOf.join(QLatin1Char(',')));
    }
    return ok;
}

bool Auth::userExists(const QString &userId, QString *error)
{
    QSqlDatabase db = m_storage.connection();
    QSqlQuery q = prepared(db, QStringLiteral("SELECT COUNT(*) FROM zhp_user WHERE user_id = ?"));
    q.addBindValue(userId);
    return run(q, "user lookup", error) && q.next() && q.value(0).toInt() > 0;
}

int Auth::revokeTokens(const QString &userId, QString *error)
{
    int ended = -1;
    transaction(m_storage, "token revocation", error, [&](QSqlDatabase &db) {
        QSqlQuery q = prepared(db, QStringLiteral("DELETE FROM access_token WHERE user_id = ?"));
        q.addBindValue(userId);
        if (!run(q, "token revocation", error))
            return false;
        ended = q.numRowsAffected();
        return true;
    });
    return ended;
}

Auth::Lookup Auth::userOfToken(const QString &token, QString *userId)
{
    QSqlDatabase db = m_storage.connection();
    QSqlQuery q = prepared(db, QStringLiteral("SELECT user_id FROM access_token WHERE token_hash = ?"));
    q.addBindValue(hashOf(token));
    if (!run(q, "token lookup"))
        return Lookup::Failed;
    if (!q.next())
        return Lookup::Unknown;
    *userId = q.value(0).toString();
    return Lookup::Found;
}

bool Auth::isEditor(const QString &userId, const QString &productCode)
{
    QSqlDatabase db = m_storage.connection();
    QSqlQuery q = prepared(db, QStringLiteral("SELECT COUNT(*) FROM product_editor WHERE user_id = ? AND (product_code = ? OR product_code = ?)"));
    q.addBindValue(userId);
    q.addBindValue(productCode);
    q.addBindValue(QString::fromLatin1(AllProducts));
    return run(q, "editor lookup") && q.next() && q.value(0).toInt() > 0;
}

Auth::Reserve Auth::reserveExport(const QString &userId, int count, int limit, int *total)
{
    const int day = today();
    Reserve outcome = Reserve::Failed;
    const bool committed = transaction(m_storage, "export reservation", nullptr, [&](QSqlDatabase &db) {
        // One conditional statement adds to the count, so that servers
        // sharing a database never pass the limit between them.
        QSqlQuery q = prepared(db, QStringLiteral("UPDATE export_count SET exported = exported + ? WHERE user_id = ? AND export_day = ? AND exported + ? <= ?"));
        q.addBindValue(count);
        q.addBindValue(userId);
        q.addBindValue(day);
        q.addBindValue(count);
        q.addBindValue(limit);
        if (!run(q, "export reservation"))
            return false;
        const bool added = q.numRowsAffected() > 0;
        q = prepared(db, QStringLiteral("SELECT exported FROM export_count WHERE user_id = ? AND export_day = ?"));
        q.addBindValue(userId);
        q.addBindValue(day);
        if (!run(q, "export count"))
            return false;
        if (q.next()) {
            *total = q.value(0).toInt();
            outcome = added ? Reserve::Reserved : Reserve::OverLimit;
            return added;
        }
        // The first export of the day.
        *total = 0;
        if (count > limit) {
            outcome = Reserve::OverLimit;
            return false;
        }
        q = prepared(db, QStringLiteral("INSERT INTO export_count (user_id, export_day, exported) VALUES (?, ?, ?)"));
        q.addBindValue(userId);
        q.addBindValue(day);
        q.addBindValue(count);
        if (!run(q, "export reservation"))
            return false;
        *total = count;
        outcome = Reserve::Reserved;
        return true;
    });
    return outcome == Reserve::Reserved && !committed ? Reserve::Failed : outcome;
}

int Auth::exportedToday(const QString &userId)
{
    QSqlDatabase db = m_storage.connection();
    QSqlQuery q = prepared(db, QStringLiteral("SELECT exported FROM export_count WHERE user_id = ? AND export_day = ?"));
    q.addBindValue(userId);
    q.addBindValue(today());
    if (!run(q, "export count"))
        return -1;
    return q.next() ? q.value(0).toInt() : 0;
}

} // namespace zhpserver
