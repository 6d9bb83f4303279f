#include "LodsReport.h"

#include "Json.h"
#include "Table.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace gradix {
namespace {

// What the page needs of three.js, and the file that carries its licence.
const char* const kThreeFiles[] = {"build/three.min.js", "examples/js/loaders/GLTFLoader.js",
                                   "examples/js/controls/OrbitControls.js"};
const char* const kThreeLicence = "/usr/share/doc/libjs-three/copyright";

bool readFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    bytes = text.str();
    return in.good() || in.eof();
}

bool writeFile(const std::string& path, const std::string& bytes, const std::string& shownAs,
               std::string& error) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    out.close();
    if (!out)
        error = shownAs + ": cannot write the report file";
    return static_cast<bool>(out);
}

std::string base64(const std::string& bytes) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = std::min<size_t>(3, bytes.size() - i);
        uint32_t word = 0;
        for (size_t k = 0; k < 3; ++k)
            word = word << 8 | (k < n ? static_cast<uint8_t>(bytes[i + k]) : 0u);
        for (size_t k = 0; k < 4; ++k)
            text += k <= n ? digits[(word >> (18 - 6 * k)) & 63] : '=';
    }
    return text;
}

std::string escapeHtml(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '&'   ? "&amp;"
               : c == '<' ? "&lt;"
               : c == '>' ? "&gt;"
               : c == '"' ? "&quot;"
                          : std::string(1, c);
    return out;
}

// The page's script: decode every level, show the one the slider picks, and say in #status what it
// loaded and drew (read by people and by the browser test alike).
const char* const kViewerScript = R"JS(
const statusLine = document.getElementById('status'), shown = document.getElementById('shown');
const slider = document.getElementById('level'), wire = document.getElementById('wire');
const errors = [];
function fail(message) {
  errors.push(String(message));
  statusLine.dataset.errors = errors.join(' | ');
  statusLine.textContent = 'error: ' + errors.join(' | ');
}
window.addEventListener('error', event => fail(event.message));
const canvas = document.getElementById('view');
const renderer = new THREE.WebGLRenderer({canvas, antialias: true, preserveDrawingBuffer: true});
renderer.setSize(canvas.clientWidth, canvas.clientHeight, false);
const scene = new THREE.Scene();
scene.background = new THREE.Color(0x26262e);
const camera = new THREE.PerspectiveCamera(35, canvas.clientWidth / canvas.clientHeight, 0.01, 1000);
scene.add(camera, new THREE.HemisphereLight(0xffffff, 0x404050, 0.55));
const key = new THREE.DirectionalLight(0xffffff, 0.75);
key.position.set(-1, 1.5, 2);
camera.add(key);
const controls = new THREE.OrbitControls(camera, canvas);
const draw = () => renderer.render(scene, camera);
controls.addEventListener('change', draw);
let roots = [];

function bytesOf(text) {
  const raw = atob(text), bytes = new Uint8Array(raw.length);
  for (let i = 0; i < raw.length; ++i) bytes[i] = raw.charCodeAt(i);
  return bytes.buffer;
}
function trianglesOf(root) {
  let count = 0;
  root.traverse(o => {
    if (o.isMesh) count += (o.geometry.index ? o.geometry.index.count : o.geometry.attributes.position.count) / 3;
  });
  return count;
}
function drawnPixels() {
  const gl = renderer.getContext(), w = gl.drawingBufferWidth, h = gl.drawingBufferHeight;
  const pixels = new Uint8Array(w * h * 4);
  gl.readPixels(0, 0, w, h, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
  let count = 0;
  for (let i = 0; i < pixels.length; i += 4)
    count += Math.abs(pixels[i] - 0x26) + Math.abs(pixels[i + 1] - 0x26) + Math.abs(pixels[i + 2] - 0x2e) > 6;
  return count;
}
function show(index) {
  roots.forEach((root, i) => { root.visible = i === index; });
  const triangles = trianglesOf(roots[index]);
  shown.dataset.triangles = triangles;
  shown.textContent = LEVELS[index].name + ': ' + triangles.toLocaleString('en-US') + ' triangles';
  draw();
}
function setWireframe(on) {
  roots.forEach(root => root.traverse(o => {
    if (o.isMesh) [].concat(o.material).forEach(m => { m.wireframe = on; });
  }));
  draw();
}
slider.addEventListener('input', () => show(Number(slider.value)));
wire.addEventListener('change', () => setWireframe(wire.checked));

Promise.all(LEVELS.map((level, i) => new Promise((resolve, reject) => {
  new THREE.GLTFLoader().parse(bytesOf(window.gradixLevels[i]), '', gltf => resolve(gltf.scene),
                               e => reject(new Error(level.name + ': ' + (e.message || e))));
}))).then(loaded => {
  roots = loaded;
  roots.forEach(root => scene.add(root));
  // Every level is seen from the same place, framed on the finest.
  const box = new THREE.Box3().setFromObject(roots[0]);
  const centre = box.getCenter(new THREE.Vector3()), radius = Math.max(box.getSize(new THREE.Vector3()).length() / 2, 1e-6);
  camera.position.copy(centre).add(new THREE.Vector3(0.55, 0.45, 1).normalize().multiplyScalar(radius * 3.4));
  camera.near = radius / 100;
  camera.far = radius * 100;
  camera.updateProjectionMatrix();
  controls.target.copy(centre);
  controls.update();
  slider.max = roots.length - 1;
  statusLine.dataset.triangles = roots.map(trianglesOf).join(',');
  // #selftest moves the slider over every level and records what each position showed.
  if (location.hash === '#selftest') {
    const seen = [];
    for (let i = 0; i < roots.length; ++i) {
      slider.value = i;
      slider.dispatchEvent(new Event('input'));
      seen.push(shown.dataset.triangles);
    }
    statusLine.dataset.slider = seen.join(',');
  }
  slider.value = 0;
  show(0);
  statusLine.dataset.pixels = drawnPixels();
  statusLine.dataset.levels = roots.length;
  if (!errors.length) {
    statusLine.dataset.state = 'ready';
    statusLine.textContent = roots.length + ' levels loaded';
  }
}).catch(fail);
)JS";

} // namespace

std::string LodsReport::threeFolder() {
    const char* folder = std::getenv("GRADIX_THREE_DIR");
    return folder && *folder ? folder : "/usr/share/javascript/three";
}

bool LodsReport::open(const std::string& target, const std::string& input, std::string& error) {
    input_ = input;
    fs::path page(target);
    std::string extension = page.extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool file = extension == ".html" || extension == ".htm";
    if (!file)
        page /= "index.html";
    page_ = page.string();
    stem_ = file ? page.stem().string() : fs::path(input).stem().string();
    for (const char* name : kThreeFiles)
        if (!fs::exists(fs::path(threeFolder()) / name)) {
            error = page_ + ": three.js is needed for the report and is not in " + threeFolder() +
                    " (install Debian's libjs-three or set GRADIX_THREE_DIR)";
            return false;
        }
    const std::string folder = page.parent_path().empty() ? "." : page.parent_path().string();
    return files_.open(folder, error);
}

std::string LodsReport::levelFile(size_t index, const std::string& extension) const {
    return stem_ + "_level" + std::to_string(index + 1) + extension;
}

std::string LodsReport::stageGlb(size_t index) {
    glbPaths_.resize(std::max(glbPaths_.size(), index + 1));
    if (glbPaths_[index].empty())
        glbPaths_[index] = files_.stage(levelFile(index, ".glb"));
    return glbPaths_[index];
}

bool LodsReport::add(const ReportLevel& level, std::string& error) {
    const size_t index = levels_.size();
    std::string glb;
    const std::string glbPath = stageGlb(index);
    if (!readFile(glbPath, glb)) {
        error = levelFile(index, ".glb") + ": cannot read the level back for the report";
        return false;
    }
    // Loaded by a script tag, which works from disk where fetching the glb would not.
    const std::string script = "(window.gradixLevels = window.gradixLevels || [])[" + std::to_string(index) +
                               "] = \"" + base64(glb) + "\";\n";
    if (!writeFile(files_.stage(levelFile(index, ".js")), script, levelFile(index, ".js"), error))
        return false;
    const std::string picture = levelFile(index, ".png");
    if (level.picture.width() > 0 && !level.picture.save(files_.stage(picture), error, picture))
        return false;
    levels_.push_back(level);
    return true;
}

std::string LodsReport::pageText() const {
    Json levels = Json::array();
    for (const ReportLevel& level : levels_)
        levels.push_back(
            {{"name", level.name}, {"triangles", level.triangles}, {"vertices", level.vertices}});
    std::string data = jsonText(levels);
    for (size_t at = data.find("</"); at != std::string::npos; at = data.find("</", at))
        data.replace(at, 2, "<\\/");

    const std::string title = escapeHtml(fs::path(input_).filename().string());
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                       title +
                       ": levels of detail</title>\n<style>\n"
                       "body{font:14px sans-serif;margin:1.5em;background:#fafafa;color:#222}\n"
                       "table{border-collapse:collapse}td,th{padding:4px 10px;border-bottom:1px solid #ccc;"
                       "text-align:right}th{background:#eee}td:first-child,th:first-child{text-align:left}\n"
                       "img{display:block;height:120px}#view{width:800px;height:560px;display:block;"
                       "background:#26262e}\n</style>\n</head>\n<body>\n<h1>" +
                       title +
                       "</h1>\n<table>\n<tr><th>level</th><th>picture</th><th>triangles</th>"
                       "<th>vertices</th><th>Hausdorff</th><th>mean</th><th>seconds</th></tr>\n";
    for (size_t i = 0; i < levels_.size(); ++i) {
        const ReportLevel& level = levels_[i];
        html += "<tr><td>" + escapeHtml(level.name) + "</td><td>" +
                (level.picture.width() > 0 ? "<img src=\"" + escapeHtml(levelFile(i, ".png")) + "\" alt=\"\">"
                                           : "") +
                "</td><td>" + groupDigits(level.triangles) + "</td><td>" + groupDigits(level.vertices) +
                "</td><td>" + formatNumber(level.hausdorff, 4) + "%</td><td>" + formatNumber(level.mean, 4) +
                "%</td><td>" + formatNumber(level.seconds, 2) + "</td></tr>\n";
    }
    html += "</table>\n<p>Errors are two-sided surface distances from the source, in % of its bounding box "
            "diagonal.</p>\n<h2>Viewer</h2>\n<p><label>level <input id=\"level\" type=\"range\" min=\"0\" "
            "max=\"" +
            std::to_string(levels_.empty() ? 0 : levels_.size() - 1) +
            "\" step=\"1\" value=\"0\"></label> <span id=\"shown\"></span> <label><input id=\"wire\" "
            "type=\"checkbox\"> wireframe</label></p>\n<canvas id=\"view\"></canvas>\n"
            "<p id=\"status\" data-state=\"loading\">loading the levels…</p>\n"
            "<p>Drag to turn, scroll to zoom, right-drag to pan. three.js r111 (MIT licence: "
            "three-LICENSE.txt).</p>\n";
    for (const char* name : kThreeFiles)
        html += "<script src=\"" + fs::path(name).filename().string() + "\"></script>\n";
    for (size_t i = 0; i < levels_.size(); ++i)
        html += "<script src=\"" + escapeHtml(levelFile(i, ".js")) + "\"></script>\n";
    html += "<script>\nconst LEVELS = " + data + ";\n" + kViewerScript + "</script>\n</body>\n</html>\n";
    return html;
}

bool LodsReport::commit(std::string& error) {
    for (const char* name : kThreeFiles) {
        const std::string file = fs::path(name).filename().string();
        std::string bytes;
        if (!readFile((fs::path(threeFolder()) / name).string(), bytes) ||
            !writeFile(files_.stage(file), bytes, file, error))
            return false;
    }
    std::string licence;
    readFile(kThreeLicence, licence);
    if (licence.empty())
        licence = "three.js is distributed under the MIT licence: https://github.com/mrdoob/three.js\n";
    const std::string page = fs::path(page_).filename().string();
    return writeFile(files_.stage("three-LICENSE.txt"), licence, "three-LICENSE.txt", error) &&
           writeFile(files_.stage(page), pageText(), page_, error) && files_.commit(error);
}

} // namespace gradix
