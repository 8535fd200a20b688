#include "exact_module_loader.h"

#include <dlfcn.h>

#include <system_error>
#include <utility>

#include "corvane_version.h"

namespace corvane {

namespace {

std::string unavailable(const std::filesystem::path& file, const char* why) {
    return "Não foi possível carregar o módulo da análise exata " + file.string() + ": " +
           (why != nullptr ? why : "motivo desconhecido");
}

std::filesystem::path chooseModuleFile(const std::vector<std::filesystem::path>& folders) {
    for (const std::filesystem::path& folder : folders) {
        std::error_code error;
        const std::filesystem::path file = folder / ExactModuleFileName;
        if (std::filesystem::exists(file, error)) return file;
    }
    return folders.front() / ExactModuleFileName;
}

// Whether `path` lies inside `folder`, both already resolved.
bool isInside(const std::filesystem::path& path, const std::filesystem::path& folder) {
    const std::filesystem::path relative = path.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
}

}  // namespace

ExactModuleLoader::ExactModuleLoader(std::vector<std::filesystem::path> folders)
    : folders_(std::move(folders)) {}

const ExactModule& ExactModuleLoader::module() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (module_ != nullptr) return *module_;
    if (folders_.empty()) {
        throw ExactModuleUnavailable(
            unavailable(ExactModuleFileName, "a pasta do programa não foi encontrada"));
    }
    const std::filesystem::path file = chooseModuleFile(folders_);
    // Every symbol resolved now, so that a module that does not fit fails here with the
    // loader's reason rather than later in the middle of a run; never unloaded, since the
    // steps it made run its code.
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle == nullptr) throw ExactModuleUnavailable(unavailable(file, ::dlerror()));
    void* entry = ::dlsym(handle, ExactModuleEntryName);
    if (entry == nullptr) throw ExactModuleUnavailable(unavailable(file, ::dlerror()));
    const ExactModule* module = reinterpret_cast<ExactModuleEntry>(entry)(ProgramVersion);
    if (module == nullptr) {
        const std::string why = std::string("não é da versão ") + ProgramVersion + " do programa";
        throw ExactModuleUnavailable(unavailable(file, why.c_str()));
    }
    module_ = module;
    return *module_;
}

std::vector<std::filesystem::path> exactModuleFolders() {
    std::error_code error;
    const std::filesystem::path link = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    const std::filesystem::path self = std::filesystem::weakly_canonical(link, error);
    if (error) return {};
    const std::filesystem::path buildTree =
        std::filesystem::weakly_canonical(CORVANE_BUILD_TREE, error);
    if (!error && isInside(self, buildTree)) return {CORVANE_BUILD_MODULE_FOLDER};
    const std::filesystem::path folder = self.parent_path();
    return {(folder / CORVANE_MODULE_FROM_BINDIR).lexically_normal(),
            (folder / CORVANE_MODULE_FROM_LIBEXECDIR).lexically_normal()};
}

const ExactModule& exactModule() {
    static ExactModuleLoader loader(exactModuleFolders());
    return loader.module();
}

}  // namespace corvane
