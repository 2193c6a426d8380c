// Symbolic links in a folder that anyone may write to, as another user
// plants them in /tmp, and the ones a save may still follow there: the cases
// both writers of whole files, the library's and the utility's, are tested
// with. Only root can make links of another user.
#ifndef DRAVIK_TESTS_PLANTED_LINKS_H
#define DRAVIK_TESTS_PLANTED_LINKS_H

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

inline constexpr uid_t kOtherUser = 65534;

// How the saved path reaches the file.
enum class Through { FileLink, ChainFromOwnLink, FolderLink };

struct PlantedLink {
    const char* name;
    mode_t folderMode;
    uid_t folderOwner;
    uid_t linkOwner;
    Through through;
    bool followed;
};

inline constexpr PlantedLink kPlantedLinks[] = {
    {"another user's link", 01777, 0, kOtherUser, Through::FileLink, false},
    {"another user's link after the user's own", 01777, 0, kOtherUser, Through::ChainFromOwnLink, false},
    {"another user's link to a folder", 01777, 0, kOtherUser, Through::FolderLink, false},
    {"the user's own link", 01777, 0, 0, Through::FileLink, true},
    {"the folder owner's link", 01777, kOtherUser, kOtherUser, Through::FileLink, true},
    {"a folder that is not sticky", 0777, 0, kOtherUser, Through::FileLink, true},
    {"a folder that only its owner may write", 01755, 0, kOtherUser, Through::FileLink, true},
};

// Makes the folder `shared` as `planted` says, with the links that lead to
// the file `name` in the folder `real`; `saved` gets the path to save,
// relative to `shared`.
inline void plantLinks(const PlantedLink& planted, const std::string& shared, const std::string& real,
                       const std::string& name, std::string& saved)
{
    ASSERT_EQ(mkdir(shared.c_str(), 0700), 0);
    ASSERT_EQ(chown(shared.c_str(), planted.folderOwner, planted.folderOwner), 0);
    ASSERT_EQ(chmod(shared.c_str(), planted.folderMode), 0);
    const auto link = [&](const std::string& target, const std::string& link, uid_t owner) {
        const std::string path = shared + "/" + link;
        ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0);
        ASSERT_EQ(lchown(path.c_str(), owner, owner), 0);
    };
    saved = name;
    if (planted.through == Through::FileLink) {
        link(real + "/" + name, name, planted.linkOwner);
    } else if (planted.through == Through::ChainFromOwnLink) {
        link(real + "/" + name, "next", planted.linkOwner);
        link("next", name, 0);
    } else {
        link(real, "real", planted.linkOwner);
        saved = "real/" + name;
    }
}

#endif
