#include "controls/GridModel.h"

#include <QStringEncoder>

#include <algorithm>

namespace vs {

namespace {

// Appends name to the pool; returns where it starts and its length in bytes.
std::pair<std::uint32_t, std::uint16_t> AppendName(std::string& pool, const QString& name) {
    QStringEncoder utf8(QStringEncoder::Utf8);
    const std::size_t at = pool.size();
    pool.resize(at + static_cast<std::size_t>(utf8.requiredSpace(name.size())));
    char* end = utf8.appendToBuffer(pool.data() + at, name);
    pool.resize(static_cast<std::size_t>(end - pool.data()));
    // A file name is at most 255 bytes, which no conversion makes longer than 765.
    return {static_cast<std::uint32_t>(at), static_cast<std::uint16_t>(pool.size() - at)};
}

}  // namespace

void GridContents::Add(std::string_view utf8Name, int imageIndex) {
    const auto at = static_cast<std::uint32_t>(names.size());
    names.append(utf8Name);
    rows.push_back({at, static_cast<std::uint16_t>(utf8Name.size()), 0, imageIndex, static_cast<std::uint32_t>(rows.size())});
}

GridModel::GridModel(const std::optional<std::vector<QPixmap>>* images, QObject* parent)
    : QAbstractListModel(parent), images_(images) {}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Count(); }

QString GridModel::RealName(int row) const {
    const GridContents::Row& r = contents_.rows[static_cast<std::size_t>(row)];
    return QString::fromUtf8(contents_.names.data() + r.nameAt, r.nameLength);
}

QString GridModel::Caption(int row) const {
    const auto own = captions_.constFind(Id(row));
    return own != captions_.cend() ? *own : RealName(row).toLower();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count())
        return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return Caption(row);
    case Qt::DecorationRole: {
        const int image = ImageIndex(row);
        if (*images_ && image >= 0 && static_cast<std::size_t>(image) < (*images_)->size())
            return (**images_)[static_cast<std::size_t>(image)];
        return {};
    }
    case kRealNameRole:
        return RealName(row);
    case kImageIndexRole:
        return ImageIndex(row);
    case kSizeTextRole:
        return SizeText(row);
    case kItemIdRole:
        return Id(row);
    default:
        return {};
    }
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= Count())
        return false;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        SetCaption(index.row(), value.toString());
        return true;
    case kRealNameRole:
        SetRealName(index.row(), value.toString());
        return true;
    case kImageIndexRole:
        SetImageIndex(index.row(), value.toInt());
        return true;
    case kSizeTextRole:
        SetSizeText(index.row(), value.toString());
        return true;
    default:
        return false;
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
}

bool GridModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || count <= 0 || row + count > Count())
        return false;
    beginRemoveRows(parent, row, row + count - 1);
    for (int r = row; r < row + count; ++r) {
        captions_.remove(Id(r));
        sizeTexts_.remove(Id(r));
    }
    const auto first = contents_.rows.begin() + row;
    contents_.rows.erase(first, first + count);
    endRemoveRows();
    return true;
}

void GridModel::Reset(GridContents contents) {
    beginResetModel();
    contents_ = std::move(contents);
    nextId_ = static_cast<std::uint32_t>(contents_.rows.size());
    captions_.clear();
    sizeTexts_.clear();
    endResetModel();
}

int GridModel::Insert(int row, const QString& realName, int imageIndex) {
    row = std::clamp(row, 0, Count());
    beginInsertRows(QModelIndex(), row, row);
    const auto [at, length] = AppendName(contents_.names, realName);
    contents_.rows.insert(contents_.rows.begin() + row, {at, length, 0, imageIndex, nextId_++});
    endInsertRows();
    return row;
}

void GridModel::Changed(int row) {
    const QModelIndex i = index(row);
    emit dataChanged(i, i);
}

void GridModel::SetRealName(int row, const QString& realName) {
    const auto [at, length] = AppendName(contents_.names, realName);
    At(row).nameAt = at;
    At(row).nameLength = length;
    Changed(row);
}

void GridModel::SetCaption(int row, const QString& caption) {
    if (caption == RealName(row).toLower())
        captions_.remove(Id(row));
    else
        captions_.insert(Id(row), caption);
    Changed(row);
}

void GridModel::SetImageIndex(int row, int imageIndex) {
    At(row).imageIndex = imageIndex;
    Changed(row);
}

void GridModel::SetSizeText(int row, const QString& text) {
    if (text.isEmpty())
        sizeTexts_.remove(Id(row));
    else
        sizeTexts_.insert(Id(row), text);
    Changed(row);
}

void GridModel::ImageChanged(int imageIndex) {
    for (int row = 0; row < Count(); ++row)
        if (ImageIndex(row) == imageIndex)
            Changed(row);
}

}  // namespace vs
