#include "parser/attempt_memo.h"

namespace quorvix::parser {

const Error* AttemptMemo::known_failure(Construct construct, std::size_t pos) const {
  if (failures_.empty()) return nullptr;
  auto it = failures_.find(key(construct, pos));
  return it == failures_.end() ? nullptr : &it->second;
}

void AttemptMemo::mark_failed(Construct construct, std::size_t pos, const Error& error) {
  if (error.fatal) return;
  const bool added = failures_.try_emplace(key(construct, pos), error).second;
  if (added && construct != Construct::GroupTail && construct != Construct::BracketTail) ++attempts_;
}

}  // namespace quorvix::parser
