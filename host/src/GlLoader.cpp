// The OpenGL, OSMesa and GLU entry points the host and its plug-ins call, loaded on first use.
//
// OSMesa brings LLVM (llvmpipe) with it, and mapping and relocating that costs about 60 ms at every
// process start, while only drawing needs it: a tool run that reads, simplifies and writes a mesh
// never draws. So libgxhost.so defines these functions itself (plug-ins link against it as they
// would against the host's GL) and each one opens the real library the first time it is called.
// The libraries are opened RTLD_LOCAL: their own GL calls (GLU's) come back through these, which is
// what sends every call to the OSMesa context. A library that cannot be opened makes every call a
// no-op returning zero; OSMesaCreateContextExt then returns null, which the viewport reports.
#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/osmesa.h>

#include <dlfcn.h>

namespace {

enum Library { OSMESA, GLU };

void* open(Library library) {
    static void* const osmesa = dlopen(GXHOST_OSMESA_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (library == OSMESA)
        return osmesa;
    static void* const glu = osmesa ? dlopen(GXHOST_GLU_SONAME, RTLD_NOW | RTLD_LOCAL) : nullptr;
    return glu;
}

// The library's function `name`; null when it has none, or when the lookup comes back to the
// forwarder `self` (it would call itself forever).
template <typename Fn> Fn resolve(Library library, const char* name, Fn self) {
    void* handle = open(library);
    const Fn fn = handle ? reinterpret_cast<Fn>(dlsym(handle, name)) : nullptr;
    return fn == self ? nullptr : fn;
}

} // namespace

// One forwarding definition: R name PARAMS calls the library's name with ARGS.
#define GXGL_FORWARD(LIBRARY, R, name, PARAMS, ARGS)                                                         \
    extern "C" R GLAPIENTRY name PARAMS {                                                                    \
        using Result = R;                                                                                    \
        static const auto fn = resolve<Result(GLAPIENTRY*) PARAMS>(LIBRARY, #name, &name);                   \
        return fn ? fn ARGS : Result();                                                                      \
    }

GXGL_FORWARD(OSMESA, OSMesaContext, OSMesaCreateContextExt,
             (GLenum format, GLint depthBits, GLint stencilBits, GLint accumBits, OSMesaContext sharelist),
             (format, depthBits, stencilBits, accumBits, sharelist))
GXGL_FORWARD(OSMESA, void, OSMesaDestroyContext, (OSMesaContext ctx), (ctx))
GXGL_FORWARD(OSMESA, GLboolean, OSMesaMakeCurrent,
             (OSMesaContext ctx, void* buffer, GLenum type, GLsizei width, GLsizei height),
             (ctx, buffer, type, width, height))
GXGL_FORWARD(OSMESA, OSMesaContext, OSMesaGetCurrentContext, (void), ())
GXGL_FORWARD(OSMESA, void, OSMesaPixelStore, (GLint pname, GLint value), (pname, value))

GXGL_FORWARD(OSMESA, void, glBegin, (GLenum mode), (mode))
GXGL_FORWARD(OSMESA, void, glBindTexture, (GLenum target, GLuint texture), (target, texture))
GXGL_FORWARD(OSMESA, void, glBlendFunc, (GLenum sfactor, GLenum dfactor), (sfactor, dfactor))
GXGL_FORWARD(OSMESA, void, glClear, (GLbitfield mask), (mask))
GXGL_FORWARD(OSMESA, void, glClearColor, (GLclampf r, GLclampf g, GLclampf b, GLclampf a), (r, g, b, a))
GXGL_FORWARD(OSMESA, void, glClearDepth, (GLclampd depth), (depth))
GXGL_FORWARD(OSMESA, void, glColor3f, (GLfloat r, GLfloat g, GLfloat b), (r, g, b))
GXGL_FORWARD(OSMESA, void, glColor4f, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a))
GXGL_FORWARD(OSMESA, void, glColorMask, (GLboolean r, GLboolean g, GLboolean b, GLboolean a), (r, g, b, a))
GXGL_FORWARD(OSMESA, void, glColorMaterial, (GLenum face, GLenum mode), (face, mode))
GXGL_FORWARD(OSMESA, void, glDeleteTextures, (GLsizei n, const GLuint* textures), (n, textures))
GXGL_FORWARD(OSMESA, void, glDepthFunc, (GLenum func), (func))
GXGL_FORWARD(OSMESA, void, glDepthMask, (GLboolean flag), (flag))
GXGL_FORWARD(OSMESA, void, glDisable, (GLenum cap), (cap))
GXGL_FORWARD(OSMESA, void, glEnable, (GLenum cap), (cap))
GXGL_FORWARD(OSMESA, void, glEnd, (void), ())
GXGL_FORWARD(OSMESA, void, glFinish, (void), ())
GXGL_FORWARD(OSMESA, void, glFlush, (void), ())
GXGL_FORWARD(OSMESA, void, glFrustum,
             (GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f), (l, r, b, t, n, f))
GXGL_FORWARD(OSMESA, void, glGenTextures, (GLsizei n, GLuint* textures), (n, textures))
GXGL_FORWARD(OSMESA, GLenum, glGetError, (void), ())
GXGL_FORWARD(OSMESA, void, glLightModelfv, (GLenum pname, const GLfloat* params), (pname, params))
GXGL_FORWARD(OSMESA, void, glLightModeli, (GLenum pname, GLint param), (pname, param))
GXGL_FORWARD(OSMESA, void, glLightfv, (GLenum light, GLenum pname, const GLfloat* params),
             (light, pname, params))
GXGL_FORWARD(OSMESA, void, glLineWidth, (GLfloat width), (width))
GXGL_FORWARD(OSMESA, void, glLoadIdentity, (void), ())
GXGL_FORWARD(OSMESA, void, glMatrixMode, (GLenum mode), (mode))
GXGL_FORWARD(OSMESA, void, glMultMatrixd, (const GLdouble* m), (m))
GXGL_FORWARD(OSMESA, void, glNormal3d, (GLdouble x, GLdouble y, GLdouble z), (x, y, z))
GXGL_FORWARD(OSMESA, void, glOrtho, (GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f),
             (l, r, b, t, n, f))
GXGL_FORWARD(OSMESA, void, glPixelStorei, (GLenum pname, GLint param), (pname, param))
GXGL_FORWARD(OSMESA, void, glPolygonOffset, (GLfloat factor, GLfloat units), (factor, units))
GXGL_FORWARD(OSMESA, void, glPolygonStipple, (const GLubyte* mask), (mask))
GXGL_FORWARD(OSMESA, void, glPopAttrib, (void), ())
GXGL_FORWARD(OSMESA, void, glPushAttrib, (GLbitfield mask), (mask))
GXGL_FORWARD(OSMESA, void, glShadeModel, (GLenum mode), (mode))
GXGL_FORWARD(OSMESA, void, glTexCoord2f, (GLfloat s, GLfloat t), (s, t))
GXGL_FORWARD(OSMESA, void, glTexEnvi, (GLenum target, GLenum pname, GLint param), (target, pname, param))
GXGL_FORWARD(OSMESA, void, glTexImage2D,
             (GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
              GLenum format, GLenum type, const GLvoid* pixels),
             (target, level, internalFormat, width, height, border, format, type, pixels))
GXGL_FORWARD(OSMESA, void, glTexParameteri, (GLenum target, GLenum pname, GLint param),
             (target, pname, param))
GXGL_FORWARD(OSMESA, void, glTranslated, (GLdouble x, GLdouble y, GLdouble z), (x, y, z))
GXGL_FORWARD(OSMESA, void, glVertex3d, (GLdouble x, GLdouble y, GLdouble z), (x, y, z))
GXGL_FORWARD(OSMESA, void, glVertex3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
GXGL_FORWARD(OSMESA, void, glViewport, (GLint x, GLint y, GLsizei width, GLsizei height),
             (x, y, width, height))

GXGL_FORWARD(GLU, const GLubyte*, gluErrorString, (GLenum error), (error))
