#include "reports/editor/ReportEditor.h"

#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "base/core/Numeric.h"
#include "base/ui/DesignButtons.h"
#include "reports/core/FieldReplacement.h"
#include "reports/core/ReportFiles.h"
#include "reports/core/ReportInsertion.h"
#include "reports/editor/FormatDialogs.h"
#include "reports/editor/FormatRuler.h"
#include "reports/editor/ReportPrinting.h"
#include "reports/editor/TemplatePicker.h"
#include "reports/rtf/RtfReader.h"
#include "reports/rtf/RtfWriter.h"

#include <brixel/Button.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontComboBox>
#include <QMenuBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

namespace vexa {

const QString ReportEditor::DesignedCaption = QStringLiteral("Editer un compte-rendu...");
const QString ReportEditor::SaveQuestion
    = QStringLiteral("Le contenu du compte-rendu a changé. Voulez-vous le sauvegarder ?");
const QString ReportEditor::SaveErrorText = QStringLiteral("Erreur de sauvegarde.  ");
const QString ReportEditor::MissingFileText = QStringLiteral("Ce fichier n'existe pas");
const QString ReportEditor::HeaderBlanks = QStringLiteral("     ");
const QString ReportEditor::ChangedOnDiskText = QStringLiteral(
    "Le compte-rendu « %1 » a été modifié sur un autre poste depuis que vous l'avez ouvert : il n'a pas été "
    "remplacé.\r\n\r\nOui : enregistrer votre version sous un autre nom.\r\nNon : recharger le compte-rendu "
    "enregistré (vos modifications seront perdues).\r\nAnnuler : revenir au compte-rendu.");
const QString ReportEditor::LossesText = QStringLiteral(
    "Ce document contient des éléments que l'éditeur ne sait pas conserver ; ils seront perdus à "
    "l'enregistrement :");
const QString ReportEditor::LossesQuestion = QStringLiteral("Enregistrer quand même ?");

namespace {

constexpr int QuitButtonGapTwips = 40;

// A file counts as existing when its length can be read.
bool fileExists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

// What a new document, and text without a font of its own, shows in: the
// font the RTF reader gives such text.
QFont documentFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(12);
    return font;
}

// True when the document shows something: text other than blanks, or a picture.
bool hasContent(const QTextDocument& document)
{
    const QString text = document.toRawText();
    return std::any_of(text.begin(), text.end(), [](QChar c) { return !c.isSpace(); });
}

// A document read from a file becomes the editor's without its loading as
// undo steps.
void forgetUndoSteps(QTextDocument* document)
{
    document->setUndoRedoEnabled(false);
    document->setUndoRedoEnabled(true);
}

} // namespace

ReportEditor::ReportEditor(QWidget* parent, const QRect& area)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmWord"));
    setWindowTitle(DesignedCaption);
    setModal(true);

    menuBar = new QMenuBar(this);
    headerEdit = new QTextEdit(this);
    headerEdit->setObjectName(QStringLiteral("headerEdit"));
    bodyEdit = new QTextEdit(this);
    bodyEdit->setObjectName(QStringLiteral("TXTextControl1"));
    bodyEdit->setAcceptRichText(true);
    bodyEdit->setTabChangesFocus(false);
    footerEdit = new QTextEdit(this);
    footerEdit->setObjectName(QStringLiteral("footerEdit"));
    for (QTextEdit* part : {headerEdit, footerEdit}) {
        part->setReadOnly(true);
        part->setFrameShape(QFrame::Box);
        part->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        part->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        part->setFocusPolicy(Qt::NoFocus);
        part->setStyleSheet(QStringLiteral("QTextEdit { background: #f4f4f4; }"));
    }
    ruler = new FormatRuler(bodyEdit, this);
    formatBar = new QToolBar(this);
    formatBar->setObjectName(QStringLiteral("TXButtonBar1"));
    quitButton = makeDesignButton(brixel::DesignFile(), QStringLiteral("Button2"), this);
    quitButton->setCaption(QStringLiteral("Quitter..."));
    quitButton->resize(90, 24);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addWidget(formatBar);
    layout->addWidget(ruler);
    layout->addWidget(headerEdit);
    layout->addWidget(bodyEdit, 1);
    layout->addWidget(footerEdit);

    buildMenus();
    buildFormatBar();
    connect(quitButton, &brixel::Button::Click, this, &QWidget::close);

    if (area.isValid())
        setGeometry(area);
    else
        resize(900, 700);
    load();
}

ReportEditor::~ReportEditor() = default;

QAction* ReportEditor::addAction(QMenu* menu, const QString& name, const QString& caption,
    const QKeySequence& shortcut, const std::function<void()>& action)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    if (!shortcut.isEmpty())
        item->setShortcut(shortcut);
    connect(item, &QAction::triggered, this, action);
    return item;
}

void ReportEditor::buildMenus()
{
    QMenu* file = menuBar->addMenu(QStringLiteral("&Fichier"));
    file->setObjectName(QStringLiteral("mnuFile"));
    addAction(file, QStringLiteral("mnuSave"), QStringLiteral("Enregistrer"), {}, [this] { saveAndClose(); });
    file->addSeparator();
    addAction(file, QStringLiteral("mnuPrint"), QStringLiteral("Imprimer"), {}, [this] { print(); });
    file->addSeparator();
    addAction(file, QStringLiteral("mnuQuit"), QStringLiteral("Quitter..."), {}, [this] { close(); });

    QMenu* edit = menuBar->addMenu(QStringLiteral("&Edition"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    addAction(edit, QStringLiteral("mnuUndo"), QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z),
        [this] { bodyEdit->undo(); });
    addAction(edit, QStringLiteral("mnuRedo"), QStringLiteral("Redo"), QKeySequence(Qt::CTRL | Qt::Key_Y),
        [this] { bodyEdit->redo(); });
    edit->addSeparator();
    addAction(edit, QStringLiteral("mnuCut"), QStringLiteral("Couper"), QKeySequence(Qt::CTRL | Qt::Key_X),
        [this] { bodyEdit->cut(); });
    addAction(edit, QStringLiteral("mnuCopy"), QStringLiteral("Copier"), QKeySequence(Qt::CTRL | Qt::Key_C),
        [this] { bodyEdit->copy(); });
    addAction(edit, QStringLiteral("mnuPaste"), QStringLiteral("Coller"), QKeySequence(Qt::CTRL | Qt::Key_V),
        [this] { bodyEdit->paste(); });
    edit->addSeparator();
    addAction(edit, QStringLiteral("mnuSearch"), QStringLiteral("Rechercher..."),
        QKeySequence(Qt::CTRL | Qt::Key_F), [this] { findText(); });
    addAction(edit, QStringLiteral("mnuReplace"), QStringLiteral("Remplacer"),
        QKeySequence(Qt::CTRL | Qt::Key_H), [this] { replaceText(); });
    edit->addSeparator();
    addAction(edit, QStringLiteral("mnuAllSelect"), QStringLiteral("Sélectionner tout"),
        QKeySequence(Qt::CTRL | Qt::Key_A), [this] { bodyEdit->selectAll(); });

    QMenu* insert = menuBar->addMenu(QStringLiteral("&Insérer..."));
    insert->setObjectName(QStringLiteral("mnuInsert"));
    QMenu* fields = insert->addMenu(QStringLiteral("&Champ prédéfini"));
    fields->setObjectName(QStringLiteral("mnuChamp"));
    for (const PatientField& field : patientFields()) {
        const int index = field.index;
        addAction(fields, field.menuName, field.caption, QKeySequence(Qt::CTRL | field.shortcutKey),
            [this, index] { insertField(index); });
    }
    insert->addSeparator();
    addAction(insert, QStringLiteral("mnuCourrierType"), QStringLiteral("&Courriers types..."), {},
        [this] { insertTemplate(); });
    insert->addSeparator();
    addAction(insert, QStringLiteral("mnuTexte"), QStringLiteral("&Texte..."), {}, [this] { insertText(); });

    QMenu* format = menuBar->addMenu(QStringLiteral("&Format"));
    format->setObjectName(QStringLiteral("mnuFormat"));
    addAction(
        format, QStringLiteral("mnuChar"), QStringLiteral("&Caratères"), {}, [this] { formatCharacters(); });
    addAction(
        format, QStringLiteral("mnuPar"), QStringLiteral("&Paragraphes"), {}, [this] { formatParagraphs(); });
    addAction(format, QStringLiteral("mnuTab"), QStringLiteral("&Tabulateurs"), {}, [this] { formatTabs(); });
}

void ReportEditor::buildFormatBar()
{
    fontBox_ = new QFontComboBox(formatBar);
    fontBox_->setObjectName(QStringLiteral("fontBox"));
    formatBar->addWidget(fontBox_);
    sizeBox_ = new QComboBox(formatBar);
    sizeBox_->setObjectName(QStringLiteral("sizeBox"));
    sizeBox_->setEditable(true);
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 36, 48, 72})
        sizeBox_->addItem(QString::number(size));
    formatBar->addWidget(sizeBox_);
    formatBar->addSeparator();

    const auto toggle = [this](const QString& name, const QString& text, const QString& tip,
                            const std::function<void(QTextCharFormat&, bool)>& apply) {
        QAction* action = formatBar->addAction(text);
        action->setObjectName(name);
        action->setToolTip(tip);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, apply](bool on) {
            QTextCharFormat format;
            apply(format, on);
            bodyEdit->mergeCurrentCharFormat(format);
            bodyEdit->setFocus();
        });
        return action;
    };
    boldAction_ = toggle(QStringLiteral("boldAction"), QStringLiteral("G"), QStringLiteral("Gras"),
        [](QTextCharFormat& f, bool on) { f.setFontWeight(on ? QFont::Bold : QFont::Normal); });
    italicAction_ = toggle(QStringLiteral("italicAction"), QStringLiteral("I"), QStringLiteral("Italique"),
        [](QTextCharFormat& f, bool on) { f.setFontItalic(on); });
    underlineAction_ = toggle(QStringLiteral("underlineAction"), QStringLiteral("S"),
        QStringLiteral("Souligné"), [](QTextCharFormat& f, bool on) { f.setFontUnderline(on); });
    QFont bold = boldAction_->font();
    bold.setBold(true);
    boldAction_->setFont(bold);
    QFont italic = italicAction_->font();
    italic.setItalic(true);
    italicAction_->setFont(italic);
    QFont underline = underlineAction_->font();
    underline.setUnderline(true);
    underlineAction_->setFont(underline);
    formatBar->addSeparator();

    auto* alignments = new QActionGroup(this);
    const struct {
        const char* name;
        const char* text;
        const char* tip;
        Qt::Alignment alignment;
    } aligns[] = {{"alignLeftAction", "≡←", "Aligner à gauche", Qt::AlignLeft},
        {"alignCenterAction", "≡", "Centrer", Qt::AlignHCenter},
        {"alignRightAction", "→≡", "Aligner à droite", Qt::AlignRight},
        {"alignJustifyAction", "☰", "Justifier", Qt::AlignJustify}};
    for (const auto& align : aligns) {
        QAction* action = formatBar->addAction(QString::fromUtf8(align.text));
        action->setObjectName(QString::fromLatin1(align.name));
        action->setToolTip(QString::fromUtf8(align.tip));
        action->setCheckable(true);
        alignments->addAction(action);
        const Qt::Alignment alignment = align.alignment;
        connect(action, &QAction::triggered, this, [this, alignment] {
            bodyEdit->setAlignment(alignment);
            bodyEdit->setFocus();
        });
        alignActions_ << action;
    }
    formatBar->addSeparator();
    QAction* colour = formatBar->addAction(QStringLiteral("Couleur"));
    colour->setObjectName(QStringLiteral("colourAction"));
    connect(colour, &QAction::triggered, this, [this] {
        const QColor chosen = QColorDialog::getColor(
            bodyEdit->currentCharFormat().foreground().color(), this, QStringLiteral("Couleur du texte"));
        if (!chosen.isValid())
            return;
        QTextCharFormat format;
        format.setForeground(chosen);
        bodyEdit->mergeCurrentCharFormat(format);
    });

    connect(fontBox_, &QFontComboBox::textActivated, this, [this](const QString& family) {
        QTextCharFormat format;
        format.setFontFamilies({family});
        bodyEdit->mergeCurrentCharFormat(format);
        bodyEdit->setFocus();
    });
    connect(sizeBox_, &QComboBox::textActivated, this, [this](const QString& text) {
        const double size = QLocale().toDouble(text);
        if (size <= 0 || size > 400)
            return;
        QTextCharFormat format;
        format.setFontPointSize(size);
        bodyEdit->mergeCurrentCharFormat(format);
        bodyEdit->setFocus();
    });
    connect(bodyEdit, &QTextEdit::currentCharFormatChanged, this, [this] { updateFormatBar(); });
    connect(bodyEdit, &QTextEdit::cursorPositionChanged, this, [this] { updateFormatBar(); });
}

void ReportEditor::updateFormatBar()
{
    const QTextCharFormat format = bodyEdit->currentCharFormat();
    const QFont font = format.font();
    const QSignalBlocker fontBlock(fontBox_);
    const QSignalBlocker sizeBlock(sizeBox_);
    // Finding a family in the font box's list is slow: only when it changes.
    if (font.family() != shownFamily_) {
        shownFamily_ = font.family();
        fontBox_->setCurrentFont(font);
    }
    sizeBox_->setEditText(QString::number(font.pointSizeF() > 0 ? font.pointSizeF() : 12));
    boldAction_->setChecked(font.bold());
    italicAction_->setChecked(font.italic());
    underlineAction_->setChecked(font.underline());
    const Qt::Alignment align = bodyEdit->alignment() & Qt::AlignHorizontal_Mask;
    const int which = align & Qt::AlignHCenter ? 1
        : align & Qt::AlignRight               ? 2
        : align & Qt::AlignJustify             ? 3
                                               : 0;
    alignActions_[which]->setChecked(true);
}

void ReportEditor::load()
{
    hasHeader_ = false;
    headerIsOwn_ = false;
    unreadable_ = false;
    lossesAccepted_ = false;
    path_ = reportSession().reportPath;
    RtfDocument document = readDocument();
    page_ = document.page;
    losses_ = document.losses;
    // The document's own header and footer are its own; the letterhead
    // stands in for the ones it lacks (never in the letterhead itself).
    RtfDocument letterhead;
    if (!isLetterheadPath(path_))
        letterhead = readLetterhead();
    headerIsOwn_ = document.header != nullptr;
    hasHeader_ = headerIsOwn_ || letterhead.header != nullptr;
    showPart(headerEdit, std::move(headerIsOwn_ ? document.header : letterhead.header));
    hasFooter_ = document.footer || letterhead.footer;
    showPart(footerEdit, std::move(document.footer ? document.footer : letterhead.footer));
    showBody(std::move(document.body));
    setPageWidth();
    modified_ = false;
    setCaption();
    bodyEdit->setFocus();
}

RtfDocument ReportEditor::readDocument()
{
    stamp_ = stampOf(path_);
    RtfDocument read;
    if (!fileExists(path_))
        return read;
    QString error;
    if (RtfReader::readFile(path_, read, &error))
        return read;
    unreadable_ = true;
    msgBox(QStringLiteral("Le fichier « %1 » n'a pas pu être lu.\r\n%2\r\nS'il est enregistré, l'ancien "
                          "fichier sera conservé sous le nom « %3 ».")
               .arg(QDir::toNativeSeparators(path_), error,
                   QFileInfo(path_).fileName() + QStringLiteral(".bak")),
        MsgIcon::Exclamation);
    return RtfDocument();
}

// The letterhead's text as a header: the letterhead file's body, or its own
// page header when its body is empty (a letterhead made in a word processor);
// five blanks when there is no letterhead. Its footer goes with it.
RtfDocument ReportEditor::readLetterhead()
{
    RtfDocument letterhead;
    const QString path = letterheadPath();
    if (fileExists(path) && RtfReader::readFile(path, letterhead)) {
        if (hasContent(*letterhead.body) || !letterhead.header)
            letterhead.header = std::move(letterhead.body);
        return letterhead;
    }
    letterhead.header = std::make_unique<QTextDocument>();
    letterhead.header->setDefaultFont(documentFont());
    letterhead.header->setPlainText(HeaderBlanks);
    return letterhead;
}

void ReportEditor::showPart(QTextEdit* edit, std::unique_ptr<QTextDocument> part)
{
    edit->setVisible(part != nullptr);
    if (!part)
        part = std::make_unique<QTextDocument>();
    forgetUndoSteps(part.get());
    // Owned by the edit, which deletes the document it showed before.
    QTextDocument* shown = part.release();
    shown->setParent(edit);
    edit->setDocument(shown);
}

void ReportEditor::showBody(std::unique_ptr<QTextDocument> body)
{
    if (!fileExists(path_) || unreadable_)
        body->setDefaultFont(documentFont());
    forgetUndoSteps(body.get());
    QTextDocument* shown = body.release();
    shown->setParent(bodyEdit);
    bodyEdit->setDocument(shown);
    connect(shown, &QTextDocument::contentsChanged, this, [this] { modified_ = true; });
    updateFormatBar();
}

void ReportEditor::setPageWidth()
{
    const int width = static_cast<int>(
        double(page_.textWidth()) / TwipsPerPixel + 2 * bodyEdit->document()->documentMargin());
    bodyEdit->setLineWrapMode(QTextEdit::FixedPixelWidth);
    bodyEdit->setLineWrapColumnOrWidth(width);
    // The header and footer areas are as tall as their text laid out at the
    // page's width.
    for (QTextEdit* part : {headerEdit, footerEdit}) {
        part->setLineWrapMode(QTextEdit::FixedPixelWidth);
        part->setLineWrapColumnOrWidth(width);
        QTextDocument* document = part->document();
        document->setTextWidth(width);
        const int height = static_cast<int>(document->size().height()) + 2 * part->frameWidth() + 2;
        part->setFixedHeight(std::clamp(height, 24, 320));
    }
    ruler->update();
}

void ReportEditor::setCaption()
{
    const ReportSession& session = reportSession();
    if (session.templateMode)
        setWindowTitle(DesignedCaption + QFileInfo(path_).fileName());
    else
        setWindowTitle(DesignedCaption + u' ' + session.fields[2] + u' ' + session.fields[1]);
}

void ReportEditor::insertField(int index)
{
    if (index < 0 || index >= PatientFieldEntries)
        return;
    QTextCursor cursor = bodyEdit->textCursor();
    cursor.insertText(reportSession().fields[index]);
    bodyEdit->setTextCursor(cursor);
}

void ReportEditor::replaceField(const QString& token, const QString& value, bool underline)
{
    QTextCursor cursor = bodyEdit->textCursor();
    vexa::replaceField(*bodyEdit->document(), token, value, underline, &cursor);
    bodyEdit->setTextCursor(cursor);
    bodyEdit->setFocus();
    bodyEdit->viewport()->update();
}

void ReportEditor::replaceFieldsWithValues()
{
    const PatientFieldValues& fields = reportSession().fields;
    for (const PatientField& field : patientFields())
        replaceField(field.token, fields[field.index], false);
}

int ReportEditor::showModal(QDialog& dialog)
{
    return runWindow ? runWindow(dialog) : dialog.exec();
}

void ReportEditor::insertTemplate()
{
    ReportSession& session = reportSession();
    const QString kept = session.reportPath;
    {
        TemplatePicker picker(this);
        showModal(picker);
    }
    const QString chosen = session.reportPath;
    if (!chosen.isEmpty()) {
        if (fileExists(chosen)) {
            QTextCursor cursor = bodyEdit->textCursor();
            QString error;
            if (insertFile(cursor, chosen, &error)) {
                bodyEdit->setTextCursor(cursor);
                if (!session.templateMode)
                    replaceFieldsWithValues();
            } else {
                msgBox(error, MsgIcon::Critical);
            }
        } else {
            msgBox(MissingFileText, MsgIcon::Exclamation);
        }
    }
    session.reportPath = kept;
}

void ReportEditor::insertText()
{
    FileRequest request;
    request.kind = FileRequest::Kind::Open;
    request.title = QStringLiteral("Insérer un Texte");
    // The folder is always the templates'; the last chosen file's name is offered again.
    static QString lastChosenName;
    request.startPath = templateFolder() + lastChosenName;
    request.filters = {
        QStringLiteral("Format RTF (*.rtf)"), QStringLiteral("Texte (*.txt)"), QStringLiteral("Tous (*.*)")};
    const QString path = dialogs().file(request);
    if (path.isEmpty())
        return;
    lastChosenName = QFileInfo(path).fileName();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QTextCursor cursor = bodyEdit->textCursor();
    QString error;
    const bool inserted = insertFile(cursor, path, &error);
    if (inserted) {
        bodyEdit->setTextCursor(cursor);
        if (!reportSession().templateMode)
            replaceFieldsWithValues();
    }
    QApplication::restoreOverrideCursor();
    if (!inserted)
        msgBox(error, MsgIcon::Critical);
}

ReportEditor::DiskStamp ReportEditor::stampOf(const QString& path)
{
    DiskStamp stamp;
    const QFileInfo info(path);
    if (!info.exists())
        return stamp;
    stamp.exists = true;
    stamp.size = info.size();
    stamp.modified = info.lastModified();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        hash.addData(&file);
        stamp.hash = hash.result();
    }
    return stamp;
}

ReportEditor::SaveOutcome ReportEditor::saveDocument()
{
    if (path_.isEmpty())
        return SaveOutcome::Failed;
    // Another workstation saved the report since it was read here: its
    // version is not overwritten.
    if (!(stampOf(path_) == stamp_))
        return resolveChangeOnDisk();
    if (!acceptLosses())
        return SaveOutcome::Declined;
    return writeTo(path_) ? SaveOutcome::Saved : SaveOutcome::Failed;
}

// Said once per opening, before the first save that would lose something.
bool ReportEditor::acceptLosses()
{
    if (losses_.isEmpty() || lossesAccepted_)
        return true;
    const QString text = LossesText + QStringLiteral("\r\n- ") + losses_.join(QStringLiteral(" ;\r\n- "))
        + QStringLiteral(".\r\n\r\n") + LossesQuestion;
    if (msgBox(text, MsgIcon::Exclamation, MsgButtons::YesNo, QStringLiteral("VexaDICOM"), MsgResult::No)
        != MsgResult::Yes)
        return false;
    lossesAccepted_ = true;
    return true;
}

ReportEditor::SaveOutcome ReportEditor::resolveChangeOnDisk()
{
    const MsgResult answer = msgBox(ChangedOnDiskText.arg(QDir::toNativeSeparators(path_)),
        MsgIcon::Exclamation, MsgButtons::YesNoCancel, QStringLiteral("VexaDICOM"), MsgResult::Yes);
    if (answer == MsgResult::Yes)
        return saveUnderAnotherName();
    if (answer == MsgResult::No)
        load();
    return SaveOutcome::Declined;
}

ReportEditor::SaveOutcome ReportEditor::saveUnderAnotherName()
{
    const QFileInfo current(path_);
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.title = QStringLiteral("Enregistrer le compte-rendu sous un autre nom");
    request.startPath = current.dir().filePath(current.completeBaseName() + QStringLiteral(" (copie).rtf"));
    request.filters = {QStringLiteral("Format RTF (*.rtf)")};
    QString chosen = dialogs().file(request);
    if (chosen.isEmpty())
        return SaveOutcome::Declined;
    if (!chosen.endsWith(QStringLiteral(".rtf"), Qt::CaseInsensitive))
        chosen += QStringLiteral(".rtf");
    if (QFileInfo(chosen).absoluteFilePath() == current.absoluteFilePath()) {
        msgBox(QStringLiteral("Ce nom est celui du compte-rendu modifié sur l'autre poste : choisissez-en un "
                              "autre."),
            MsgIcon::Exclamation);
        return SaveOutcome::Declined;
    }
    if (!acceptLosses())
        return SaveOutcome::Declined;
    if (!writeTo(chosen))
        return SaveOutcome::Failed;
    path_ = chosen;
    setCaption();
    return SaveOutcome::Saved;
}

bool ReportEditor::writeTo(const QString& path)
{
    // The letterhead and the templates live in the per-user data folder,
    // which a fresh account may not have yet.
    if (path.startsWith(reportDataFolder()))
        QDir().mkpath(QFileInfo(path).path());
    // A file that could not be read is kept aside rather than replaced.
    if (unreadable_ && fileExists(path)) {
        const QString aside = path + QStringLiteral(".bak");
        QFile::remove(aside);
        if (!QFile::copy(path, aside))
            return false;
        unreadable_ = false;
    }
    // The document's own header goes back as it came; the letterhead only
    // when it holds something.
    const QTextDocument* header = headerIsOwn_ || (hasHeader_ && hasContent(*headerEdit->document()))
        ? headerEdit->document()
        : nullptr;
    const QTextDocument* footer = hasFooter_ ? footerEdit->document() : nullptr;
    if (!RtfWriter::writeFile(path, *bodyEdit->document(), header, footer, page_))
        return false;
    stamp_ = stampOf(path);
    modified_ = false;
    return true;
}

void ReportEditor::saveAndClose()
{
    if (save())
        close();
}

void ReportEditor::closeEvent(QCloseEvent* event)
{
    if (modified_) {
        // "Annuler", Escape and the question's close box keep the report open.
        const MsgResult answer = msgBox(SaveQuestion, MsgIcon::Question, MsgButtons::YesNoCancel,
            QStringLiteral("VexaDICOM"), MsgResult::Yes);
        if (answer != MsgResult::Yes && answer != MsgResult::No) {
            event->ignore();
            return;
        }
        if (answer == MsgResult::Yes) {
            const SaveOutcome outcome = saveDocument();
            if (outcome == SaveOutcome::Failed)
                msgBox(SaveErrorText, MsgIcon::Critical);
            if (outcome != SaveOutcome::Saved) {
                event->ignore();
                return;
            }
        }
    }
    event->accept();
    QDialog::done(QDialog::Rejected);
}

void ReportEditor::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const int gap = QuitButtonGapTwips / TwipsPerPixel;
    quitButton->move(width() - quitButton->width() - gap, 0);
    quitButton->raise();
}

void ReportEditor::print()
{
    ReportPrintJob job;
    job.body = bodyEdit->document();
    job.header = hasHeader_ ? headerEdit->document() : nullptr;
    job.footer = hasFooter_ ? footerEdit->document() : nullptr;
    job.page = page_;
    job.documentName = windowTitle();
    printReport(job, appValues().crPrinter);
}

void ReportEditor::printWithDialog()
{
    ReportPrintJob job;
    job.body = bodyEdit->document();
    job.header = hasHeader_ ? headerEdit->document() : nullptr;
    job.footer = hasFooter_ ? footerEdit->document() : nullptr;
    job.page = page_;
    job.documentName = windowTitle();
    printReportWithDialog(job, this);
}

void ReportEditor::findText()
{
    auto* dialog = new FindReplaceDialog(bodyEdit, false, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void ReportEditor::replaceText()
{
    auto* dialog = new FindReplaceDialog(bodyEdit, true, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void ReportEditor::formatCharacters()
{
    // What the selection shares is shown; where it differs, nothing is
    // changed unless the user decides it.
    const SelectionCharFormat selection = charFormatOfSelection(bodyEdit->textCursor());
    CharacterDialog dialog(selection.common, this, selection.mixed);
    if (showModal(dialog) == QDialog::Accepted)
        bodyEdit->mergeCurrentCharFormat(dialog.format());
}

void ReportEditor::formatParagraphs()
{
    ParagraphDialog dialog(bodyEdit->textCursor().blockFormat(), this);
    if (showModal(dialog) == QDialog::Accepted) {
        QTextCursor cursor = bodyEdit->textCursor();
        cursor.setBlockFormat(dialog.format());
        bodyEdit->setTextCursor(cursor);
        ruler->update();
    }
}

void ReportEditor::formatTabs()
{
    TabStopsDialog dialog(bodyEdit->textCursor().blockFormat(), this);
    if (showModal(dialog) == QDialog::Accepted) {
        QTextCursor cursor = bodyEdit->textCursor();
        cursor.setBlockFormat(dialog.format());
        bodyEdit->setTextCursor(cursor);
        ruler->update();
    }
}

} // namespace vexa
