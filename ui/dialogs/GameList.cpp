#include "GameList.h"

#include "TextCodec.h"

#include <QAbstractTableModel>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Reads the games' fields only when a row is shown.
class GamesModel : public QAbstractTableModel {
public:
    GamesModel(std::string_view text, const std::vector<chess::PgnListing>& games, const GameListTexts& texts,
               QObject* parent)
        : QAbstractTableModel(parent), text_(text), games_(games), texts_(texts)
    {
    }
    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : int(games_.size()); }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 5; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        const chess::PgnListing& g = games_[std::size_t(index.row())];
        switch (index.column()) {
        case 0:
            return index.row() + 1;
        case 1:
            return Text(g.white);
        case 2:
            return Text(g.black);
        case 3:
            return QString::fromStdString(g.result);
        default:
            break;
        }
        // Only the rows on the screen are asked for, so the moves of a file
        // of many thousand games are never all held at once.
        const std::optional<chess::PgnGame> game = chess::PgnGameAt(text_, g.offset);
        if (!game)
            return {};
        // Numbered as from the normal start; a game set up from a position
        // shows its first moves bare.
        const bool numbered = game->Tag("FEN").empty();
        QStringList first;
        for (std::size_t i = 0; i < game->moves.size() && i < 6; ++i) {
            if (numbered && i % 2 == 0)
                first << QStringLiteral("%1.").arg(i / 2 + 1);
            first << QString::fromStdString(chess::DisplaySan(game->moves[i], texts_.letters));
        }
        return first.join(QLatin1Char(' '));
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
            return {};
        const QString* names[5] = {&texts_.number, &texts_.white, &texts_.black, &texts_.result, &texts_.moves};
        return *names[section];
    }

private:
    // Tag values are UTF-8 unless another program wrote them in code page 1250.
    static QString Text(const std::string& bytes) { return QString::fromStdString(chess::ToUtf8(bytes)); }

    std::string_view text_;
    const std::vector<chess::PgnListing>& games_;
    const GameListTexts& texts_;
};

}  // namespace

TGameList::TGameList(std::string_view text, const std::vector<chess::PgnListing>& listing, const GameListTexts& texts,
                     QWidget* parent)
    : QDialog(parent), table_(new QTableView(this))
{
    Build(new GamesModel(text, listing, texts, table_), texts);
    table_->setColumnWidth(0, 60);
    table_->setColumnWidth(1, 150);
    table_->setColumnWidth(2, 150);
    table_->setColumnWidth(3, 70);
    resize(760, 420);
}

TGameList::TGameList(const QStringList& headers, const std::vector<QStringList>& rows, const GameListTexts& texts,
                     QWidget* parent)
    : QDialog(parent), table_(new QTableView(this))
{
    auto* model = new QStandardItemModel(int(rows.size()), int(headers.size()), table_);
    model->setHorizontalHeaderLabels(headers);
    for (int row = 0; row < int(rows.size()); ++row)
        for (int column = 0; column < int(headers.size()); ++column) {
            auto* item = new QStandardItem(rows[std::size_t(row)].value(column));
            item->setEditable(false);
            model->setItem(row, column, item);
        }
    Build(model, texts);
    table_->resizeColumnsToContents();
    resize(520, 320);
}

void TGameList::Build(QAbstractItemModel* model, const GameListTexts& texts)
{
    setObjectName(QStringLiteral("GameList"));
    setWindowTitle(texts.title);
    table_->setModel(model);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->selectRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(texts.ok);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(texts.cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table_, &QTableView::doubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
}

int TGameList::Choose()
{
    if (exec() != QDialog::Accepted)
        return -1;
    const QModelIndex current = table_->currentIndex();
    return current.isValid() ? current.row() : -1;
}
