#include "PgnGame.h"

namespace chess {

std::string TagValue(const std::vector<PgnTag>& tags, std::string_view name)
{
    for (const PgnTag& tag : tags)
        if (tag.name == name)
            return tag.value;
    return {};
}

const Annotation& PgnGame::Note(std::size_t i) const
{
    static const Annotation none;
    return i < annotations.size() ? annotations[i] : none;
}

}  // namespace chess
