uniform vec3 luz;
varying vec3 n;
void main()
{
    n = gl_NormalMatrix * gl_Normal;
    gl_Position = ftransform();
}
