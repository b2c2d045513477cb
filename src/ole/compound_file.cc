#include "ole/compound_file.h"

namespace quorvix::ole {

Result<Bytes> write_compound_file(const Bytes& native, const std::optional<Bytes>&) { return native; }

}  // namespace quorvix::ole
