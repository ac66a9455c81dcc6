#pragma once
// A named query object: a database path, a Jet SQL text, a snapshot of the
// rows it returned and a current row. Also a table model, so a grid bound to
// it shows its rows and follows its current row (currentRowChanged / goTo).
#include <QAbstractTableModel>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace vexa {

// The rows a Jet text returned, read on any thread (a worker thread reads
// through a connection of its own), to be shown by a record set afterwards.
struct RecordRows {
    QString source; // the Jet text
    QStringList columns;
    QVector<QVector<QVariant>> rows;
    QString error; // empty when the rows were read
};

RecordRows readRecordRows(const QString& conquestPath, const QString& jetSql);

class RecordSet : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordSet(QString name = {}, QObject* parent = nullptr);

    const QString& name() const { return name_; }
    void setDatabasePath(const QString& conquestPath) { path_ = conquestPath; }
    const QString& databasePath() const { return path_; }
    void setRecordSource(const QString& jetSql) { source_ = jetSql; }
    const QString& recordSource() const { return source_; }

    // What a failed requery leaves: the previous rows (a list refreshed in
    // the background keeps what it showed), or none (an opening or a search
    // must not show the rows of the one before as its own).
    enum class OnFailure { KeepRows, Empty };

    // Runs the text again; the rows are replaced and the first becomes
    // current. On failure false is returned, lastError() says why and the
    // rows are kept or released as asked.
    bool requery(OnFailure onFailure = OnFailure::KeepRows);
    // The same with rows read elsewhere (ReadRecordRows): their text becomes
    // the record source.
    bool showRows(RecordRows read, OnFailure onFailure = OnFailure::KeepRows);
    const QString& lastError() const { return error_; }
    // Releases the rows.
    void close();

    int count() const { return static_cast<int>(rows_.size()); }
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    bool eof() const { return rows_.isEmpty() || current_ >= count(); }
    bool bof() const { return rows_.isEmpty() || current_ < 0; }
    // -1 when there is no current row.
    int currentRow() const { return hasCurrent() ? current_ : -1; }

    bool hasField(const QString& column) const { return columnIndex(column) >= 0; }
    QVariant field(const QString& column) const;
    QString fieldText(const QString& column) const; // null reads ""
    bool fieldBool(const QString& column) const; // any non-zero is true
    QDate fieldDate(const QString& column) const; // invalid when not a date
    QStringList columnNames() const { return columns_; }

    // Changes to the current row, stored by update() (keyed by Compteur).
    void edit() { edits_.clear(); }
    bool setField(const QString& column, const QVariant& value);
    bool update();
    int lastModified() const { return lastModified_; }

    // The value of a column in any row; null when either is unknown.
    QVariant valueAt(int row, const QString& column) const;

    // The row a user picked in a grid, by its Compteur, and when: a list
    // refreshed in the background keeps a recent choice (see NewExamMonitor).
    void noteUserChoice(const QDateTime& at);
    bool userChoseWithin(const QVariant& compteur, const QDateTime& now, qint64 seconds) const;
    // A row to show apart (a new exam that did not take the user's row), by
    // its Compteur; null for none.
    void setHighlight(const QVariant& compteur);
    const QVariant& highlight() const { return highlight_; }

    // Makes the first row matching the criterion current: "Compteur = 12",
    // "ObjectFile = 'a\b.v2'", "ObjectFile LIKE '*b.v2'". False when none.
    bool findFirst(const QString& criterion);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

public slots:
    // Makes row current (a grid's selection); false when out of range.
    bool goTo(int row);

signals:
    void currentRowChanged(int row);

private:
    bool hasCurrent() const { return current_ >= 0 && current_ < count(); }
    int columnIndex(const QString& column) const;
    QString tableName() const;
    void setCurrent(int row);
    bool fail(const QString& error);

    QString name_;
    QString path_;
    QString source_;
    QString error_;
    QStringList columns_;
    QHash<QString, int> columnIndex_; // case-folded name -> column
    QVector<QVector<QVariant>> rows_;
    QHash<int, QVariant> edits_;
    int current_ = -1;
    int lastModified_ = -1;
    QVariant chosenCompteur_;
    QDateTime chosenAt_;
    QVariant highlight_;
};

} // namespace vexa
