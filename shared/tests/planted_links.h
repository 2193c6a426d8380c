// Symbolic links in a folder that anyone may write to, as another user
// plants them in /tmp, and the ones a save may still follow there: the cases
// both writers of whole files, the library's and the utility's, are tested
// with. Only root can make links of another user.
#ifndef TORNEL_TESTS_PLANTED_LINKS_H
#define TORNEL_TESTS_PLANTED_LINKS_H

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

inline constexpr uid_t kOtherUser = 65534;

// Who owns a folder or a link: the user that saves, or someone else.
enum class Owner { Saver, Other };

// A uid of `owner` for a saver of effective uid `saver`.
inline uid_t uidOf(Owner owner, uid_t saver)
{
    if (owner == Owner::Saver)
        return saver;
    return saver == kOtherUser ? 0 : kOtherUser;
}

// How the saved path reaches the file.
enum class Through { FileLink, ChainFromOwnLink, FolderLink };

struct PlantedLink {
    const char* name;
    mode_t folderMode;
    Owner folderOwner;
    Owner linkOwner;
    Through through;
    bool followed;
};

inline constexpr PlantedLink kPlantedLinks[] = {
    {"another user's link", 01777, Owner::Saver, Owner::Other, Through::FileLink, false},
    {"another user's link after the user's own", 01777, Owner::Saver, Owner::Other, Through::ChainFromOwnLink, false},
    {"another user's link to a folder", 01777, Owner::Saver, Owner::Other, Through::FolderLink, false},
    {"the user's own link", 01777, Owner::Saver, Owner::Saver, Through::FileLink, true},
    {"the folder owner's link", 01777, Owner::Other, Owner::Other, Through::FileLink, true},
    {"a folder that is not sticky", 0777, Owner::Saver, Owner::Other, Through::FileLink, true},
    {"a folder that only its owner may write", 01755, Owner::Saver, Owner::Other, Through::FileLink, true},
};

// Makes the folder `shared` as `planted` says for root as the saver, with the
// links that lead to the file `name` in the folder `real`; `saved` gets the
// path to save, relative to `shared`.
inline void plantLinks(const PlantedLink& planted, const std::string& shared, const std::string& real,
                       const std::string& name, std::string& saved)
{
    const uid_t folderOwner = uidOf(planted.folderOwner, 0);
    ASSERT_EQ(mkdir(shared.c_str(), 0700), 0);
    ASSERT_EQ(chown(shared.c_str(), folderOwner, folderOwner), 0);
    ASSERT_EQ(chmod(shared.c_str(), planted.folderMode), 0);
    const auto link = [&](const std::string& target, const std::string& link, uid_t owner) {
        const std::string path = shared + "/" + link;
        ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0);
        ASSERT_EQ(lchown(path.c_str(), owner, owner), 0);
    };
    saved = name;
    const uid_t linkOwner = uidOf(planted.linkOwner, 0);
    if (planted.through == Through::FileLink) {
        link(real + "/" + name, name, linkOwner);
    } else if (planted.through == Through::ChainFromOwnLink) {
        link(real + "/" + name, "next", linkOwner);
        link("next", name, 0);
    } else {
        link(real, "real", linkOwner);
        saved = "real/" + name;
    }
}

#endif
