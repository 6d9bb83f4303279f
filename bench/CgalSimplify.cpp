// cgal_simplify IN.obj OUT.obj FACES [plane|triangle] [--bounded-normal]: CGAL's edge-collapse
// simplification with its Garland-Heckbert quadric policies, stopped at FACES triangles, for the
// border figures in bench/README.md (a peer to measure the tool against; nothing of the product
// links it). `plane` sums the planes of the faces around a vertex (the classic quadric), `triangle`
// the triangles' own quadrics; `--bounded-normal` refuses placements that turn a face's normal
// more than 90 degrees, the peer's own fold guard. Prints the face count reached and the seconds.
#include <CGAL/Simple_cartesian.h>
#include <CGAL/Surface_mesh.h>
#include <CGAL/Surface_mesh_simplification/Policies/Edge_collapse/Bounded_normal_change_placement.h>
#include <CGAL/Surface_mesh_simplification/Policies/Edge_collapse/GarlandHeckbert_plane_policies.h>
#include <CGAL/Surface_mesh_simplification/Policies/Edge_collapse/GarlandHeckbert_triangle_policies.h>
#include <CGAL/Surface_mesh_simplification/edge_collapse.h>
#include <CGAL/boost/graph/IO/polygon_mesh_io.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Kernel = CGAL::Simple_cartesian<double>;
using Mesh = CGAL::Surface_mesh<Kernel::Point_3>;
namespace SMS = CGAL::Surface_mesh_simplification;

// Stops once the mesh holds no more than the target's faces (the library's own predicates count
// edges, which on an open mesh do not follow the faces exactly).
struct FaceCountStop {
    const Mesh& mesh;
    size_t faces;
    template <typename F, typename Profile> bool operator()(const F&, const Profile&, size_t, size_t) const {
        return mesh.number_of_faces() <= faces;
    }
};

template <typename Policies> int collapse(Mesh& mesh, size_t faces, bool boundedNormal) {
    Policies policies(mesh);
    const FaceCountStop stop{mesh, faces};
    if (boundedNormal) {
        const SMS::Bounded_normal_change_placement<typename Policies::Get_placement> placement(
            policies.get_placement());
        return SMS::edge_collapse(mesh, stop,
                                  CGAL::parameters::get_cost(policies.get_cost()).get_placement(placement));
    }
    return SMS::edge_collapse(
        mesh, stop, CGAL::parameters::get_cost(policies.get_cost()).get_placement(policies.get_placement()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: cgal_simplify IN.obj OUT.obj FACES [plane|triangle] [--bounded-normal]\n");
        return 2;
    }
    std::string policy = "plane";
    bool boundedNormal = false;
    for (int i = 4; i < argc; ++i)
        (std::string(argv[i]) == "--bounded-normal" ? void(boundedNormal = true) : void(policy = argv[i]));
    if (policy != "plane" && policy != "triangle") {
        std::fprintf(stderr, "cgal_simplify: unknown policy '%s' (plane or triangle)\n", policy.c_str());
        return 2;
    }
    Mesh mesh;
    if (!CGAL::IO::read_polygon_mesh(argv[1], mesh) || !CGAL::is_triangle_mesh(mesh)) {
        std::fprintf(stderr, "cgal_simplify: %s: not a readable triangle mesh\n", argv[1]);
        return 1;
    }
    const size_t faces = std::strtoull(argv[3], nullptr, 10);
    const auto start = std::chrono::steady_clock::now();
    if (policy == "plane")
        collapse<SMS::GarlandHeckbert_plane_policies<Mesh, Kernel>>(mesh, faces, boundedNormal);
    else
        collapse<SMS::GarlandHeckbert_triangle_policies<Mesh, Kernel>>(mesh, faces, boundedNormal);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    mesh.collect_garbage();
    if (!CGAL::IO::write_polygon_mesh(argv[2], mesh, CGAL::parameters::stream_precision(9))) {
        std::fprintf(stderr, "cgal_simplify: %s: cannot write\n", argv[2]);
        return 1;
    }
    std::printf("faces=%zu seconds=%.3f\n", size_t(mesh.number_of_faces()), seconds);
    return 0;
}
