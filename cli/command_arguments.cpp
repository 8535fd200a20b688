#include "command_arguments.h"

namespace corvane::cli {

std::string_view Arguments::value() {
    if (index_ + 1 >= args_.size()) {
        throw UsageError("a opção " + std::string(current()) + " precisa de um valor");
    }
    return args_[++index_];
}

void Arguments::takePositional(std::string& into) {
    const std::string_view arg = current();
    if (arg.size() > 1 && arg[0] == '-') {
        throw UsageError("opção desconhecida: " + std::string(arg));
    }
    if (havePositional_) throw UsageError(secondOne_ + std::string(arg));
    into = arg;
    havePositional_ = true;
}

void Arguments::requirePositional() const {
    if (!havePositional_) throw UsageError(missing_);
}

}  // namespace corvane::cli
